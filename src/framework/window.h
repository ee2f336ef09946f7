// Base of the framework's windows: ties a window handle to its object, so that the
// pre-translation walk can find the objects along a window chain.
#pragma once
#include <windows.h>

namespace fw {

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND hwnd() const { return hwnd_; }
    HWND item(int id) const { return ::GetDlgItem(hwnd_, id); }
    static Window* from_handle(HWND window);

    virtual bool PreTranslateMessage(MSG*) { return false; }
    // Calls PreTranslateMessage of every framework window from msg->hwnd up to and
    // including stop (or the top-level window); true when one of them handled it.
    static bool walk_pre_translate_tree(HWND stop, MSG* msg);

protected:
    void attach(HWND window);
    void detach();

private:
    HWND hwnd_ = nullptr;
};

} // namespace fw
