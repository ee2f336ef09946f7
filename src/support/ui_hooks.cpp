#include "support/ui_hooks.h"
#include "framework/application.h"
#include "support/version_info.h"
#include <shlwapi.h>

namespace vh {

namespace {

const unattended_mode* registered_unattended = nullptr;

BOOL CALLBACK first_captioned_root_owner(HWND candidate, LPARAM found)
{
    HWND root = ::GetAncestor(candidate, GA_ROOTOWNER);
    if (root && (::GetWindowLongW(root, GWL_STYLE) & WS_CAPTION) == WS_CAPTION) {
        *reinterpret_cast<HWND*>(found) = root;
        return FALSE;
    }
    return TRUE;
}

} // namespace

ui_hooks& hooks()
{
    static ui_hooks h;
    return h;
}

void register_unattended_mode(const unattended_mode* mode) { registered_unattended = mode; }

std::wstring default_application_name()
{
    std::wstring name = version_info::from_own_resource().display_name();
    if (!name.empty()) return name;
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ::PathStripPathW(path);
    ::PathRemoveExtensionW(path);
    return path;
}

std::wstring application_name()
{
    return hooks().application_name ? hooks().application_name() : default_application_name();
}

void initialize_mfc_lib()
{
    ui_hooks& h = hooks();
    h.application_name = [] {
        auto app = fw::Application::instance();
        return app && !app->name().empty() ? app->name() : default_application_name();
    };
    h.application_icon = [] () -> HICON {
        auto app = fw::Application::instance();
        return app && app->main_window() ? app->main_icon() : nullptr;
    };
    h.owner_windows = [] {
        HWND top = nullptr;
        HWND owner = fw::Application::safe_owner(nullptr, &top);
        return std::pair{owner, top};
    };
    h.enable_modeless = [](bool enable) {
        if (auto app = fw::Application::instance()) app->enable_modeless(enable);
    };
    h.unattended = [] { return registered_unattended && registered_unattended->is_unattended(); };
}

HWND find_owner_window()
{
    HWND window = ::GetActiveWindow();
    if (window) {
        window = ::GetAncestor(window, GA_ROOTOWNER);
    } else {
        ::EnumThreadWindows(::GetCurrentThreadId(), first_captioned_root_owner, reinterpret_cast<LPARAM>(&window));
    }
    return window ? ::GetLastActivePopup(window) : nullptr;
}

} // namespace vh
