#include "app/install_app.h"
#include "app/process_start.h"
#include "resources/resource_ids.h"
#include "support/language.h"
#include "support/message_box.h"
#include "support/product.h"
#include "support/registry.h"
#include "support/texts.h"
#include "support/ui_hooks.h"

namespace {
CInstallApp* the_app = nullptr;
}

CInstallApp& theApp() { return *the_app; }

CInstallApp::CInstallApp()
{
    the_app = this;
    state_.instanceLock.create(app::instance_lock_name(app::application_identifier()));
    icon_.reset(static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_APPLICATION_ICON),
                                                IMAGE_ICON, 0, 0, LR_DEFAULTSIZE)));
    set_main_icon(icon_.get());
    vh::hooks().application_icon = [icon = icon_.get()] { return icon; };
}

CInstallApp::~CInstallApp()
{
    state_.instanceLock.destroy();
    the_app = nullptr;
}

int CInstallApp::DoMessageBox(const std::wstring& text, UINT type)
{
    return vh::message_box(text, type);
}

namespace {

// The language stored by an earlier installation, when it is a product language.
void apply_stored_language()
{
    try {
        vh::unique_hkey key = vh::open_key(HKEY_LOCAL_MACHINE, vh::product::uninstall_key);
        DWORD value = 0, size = sizeof(value), type = 0;
        if (key && ::RegQueryValueExW(key.get(), L"VhLanguage", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                                      &size) == ERROR_SUCCESS &&
            size == sizeof(value) && vh::is_product_language(static_cast<int>(value)))
            vh::set_current_language(static_cast<int>(value));
    } catch (const std::system_error&) {
        // An unreadable key is ignored like a missing one.
    }
}

} // namespace

void CInstallApp::choose_language_and_title()
{
    vh::set_current_language(vh::default_language(vh::product_language_mask));
    apply_stored_language();
    if (!vh::is_installer_translated(vh::current_language().index)) vh::set_current_language(vh::lang_english);
    set_name(vh::installer_title());
}

bool CInstallApp::InitInstance()
{
    if (!app::processor_check_passed()) {
        vh::show_error_message(E_UNEXPECTED);
        return false;
    }
    if (!state_.instanceLock.try_take()) {
        // The language and title come later in start-up; the message still carries the
        // installer title in the language start-up would have chosen.
        choose_language_and_title();
        vh::show_error_message(HRESULT_FROM_WIN32(ERROR_BUSY));
        return false;
    }
    if (!fw::Application::InitInstance()) return false;
    choose_language_and_title();

    // The wizard takes this place; until then the installer greets with its title.
    vh::message_box(vh::format_text(vh::text::InstallationOf, vh::product::display_text), MB_OK | MB_ICONINFORMATION);
    return false;
}
