#include "framework/application.h"
#include "framework/window.h"

namespace fw {

namespace {
Application* current = nullptr;
}

Application::Application() { current = this; }
Application::~Application() { if (current == this) current = nullptr; }
Application* Application::instance() { return current; }

int Application::run_application()
{
    if (!InitInstance()) return ExitInstance();
    while (pump_message()) {}
    return ExitInstance();
}

bool Application::PreTranslateMessage(MSG* msg)
{
    return Window::walk_pre_translate_tree(mainWindow_, msg);
}

bool Application::pump_message()
{
    MSG msg;
    if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
        exitCode_ = static_cast<int>(msg.wParam);
        ::PostQuitMessage(exitCode_);
        return false;
    }
    if (!PreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return true;
}

int Application::DoMessageBox(const std::wstring& text, UINT type)
{
    HWND top = nullptr;
    HWND owner = safe_owner(nullptr, &top);
    int result = ::MessageBoxW(owner, text.c_str(), name_.c_str(), type);
    if (top) ::EnableWindow(top, TRUE);
    return result;
}

HWND Application::safe_owner(HWND parent, HWND* top)
{
    HWND window = parent;
    if (!window && current) window = current->main_window();
    while (window && (::GetWindowLongW(window, GWL_STYLE) & WS_CHILD)) window = ::GetParent(window);
    HWND topLevel = window;
    for (HWND w = window; w; w = ::GetParent(w)) topLevel = w;
    if (!parent && window) window = ::GetLastActivePopup(window);
    if (top) {
        if (topLevel && ::IsWindowEnabled(topLevel) && topLevel != window) {
            *top = topLevel;
            ::EnableWindow(topLevel, FALSE);
        } else {
            *top = nullptr;
        }
    }
    return window;
}

std::wstring load_framework_string(UINT id)
{
    wchar_t* text = nullptr;
    int n = ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<LPWSTR>(&text), 0);
    return n > 0 ? std::wstring(text, static_cast<size_t>(n)) : std::wstring();
}

} // namespace fw
