// Optional hooks through which the support library learns about the application: filled
// in once at program start by initialize_mfc_lib, replaceable by the application.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <utility>

namespace vh {

struct ui_hooks {
    std::function<std::wstring()> application_name;
    std::function<HICON()> application_icon;
    // (owner window, top-level window to re-enable afterwards)
    std::function<std::pair<HWND, HWND>()> owner_windows;
    std::function<void(bool enable)> enable_modeless;
    std::function<bool()> unattended;
};

ui_hooks& hooks();

// An object that tells whether nobody watches the screen (boxes with only OK are then
// written to the debugger output instead of shown).
struct unattended_mode {
    virtual ~unattended_mode() = default;
    virtual bool is_unattended() const = 0;
};
void register_unattended_mode(const unattended_mode* mode);

// Installs the hooks from the application framework's application object.
void initialize_mfc_lib();

// The application name as the hooks give it; without the hook: the version-information
// name, else the program file's name without folder and extension.
std::wstring application_name();
std::wstring default_application_name();

// Owner for dialogs and messages: the active window's root owner, or the first captioned
// root owner among the thread's windows; then its last active pop-up. May be null.
HWND find_owner_window();

} // namespace vh
