// Process start: processor check, library start-up, application start-up, the
// application object, then InitInstance.
#include "app/install_app.h"
#include "app/process_start.h"
#include "support/ui_hooks.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int)
{
    if (!app::check_processor()) return app::exit_incompatible_processor;
    if (!app::library_startup() || !app::application_startup()) {
        app::show_initialization_error();
        return app::exit_initialization_error;
    }
    vh::initialize_mfc_lib();
    CInstallApp application;
    return application.run_application();
}
