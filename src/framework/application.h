// The application object: one per process; owns the name, the main icon and the main
// window, runs InitInstance and, when it returns true, the message loop.
#pragma once
#include <windows.h>
#include <string>

namespace fw {

class Application {
public:
    Application();
    virtual ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* instance();

    // Entry from WinMain: InitInstance, then the message loop when it returned true.
    int run_application();

    virtual bool InitInstance() { return true; }
    virtual int ExitInstance() { return exitCode_; }
    // First stop of every message of the loops the framework runs: walks the window
    // chain from the message's window up to its top-level window.
    virtual bool PreTranslateMessage(MSG* msg);
    // Every message box of the framework (validation messages) comes here.
    virtual int DoMessageBox(const std::wstring& text, UINT type);

    // One turn of a message loop: get, pre-translate, dispatch. False on WM_QUIT, which
    // is posted again so that the outer loop sees it too.
    bool pump_message();

    const std::wstring& name() const { return name_; }
    void set_name(std::wstring name) { name_ = std::move(name); }
    HICON main_icon() const { return icon_; }
    void set_main_icon(HICON icon) { icon_ = icon; }
    HWND main_window() const { return mainWindow_; }
    void set_main_window(HWND window) { mainWindow_ = window; }
    void enable_modeless(bool enable) { modelessDisabled_ += enable ? -1 : 1; }
    bool modeless_enabled() const { return modelessDisabled_ <= 0; }

    // The owner for a box or dialog: the parent (or the main window) climbed to its
    // top-level window, then its last active pop-up. The top-level window is handed out
    // (and disabled) when it differs from the owner and is enabled.
    static HWND safe_owner(HWND parent, HWND* top);

private:
    std::wstring name_;
    HICON icon_ = nullptr;
    HWND mainWindow_ = nullptr;
    int modelessDisabled_ = 0;
    int exitCode_ = 0;
};

// Loads a framework string (validation messages) from the program's resources.
std::wstring load_framework_string(UINT id);

} // namespace fw
