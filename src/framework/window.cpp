#include "framework/window.h"

namespace fw {

namespace {
constexpr wchar_t object_property[] = L"fw.window";
}

Window::~Window() { detach(); }

Window* Window::from_handle(HWND window)
{
    return window ? static_cast<Window*>(::GetPropW(window, object_property)) : nullptr;
}

void Window::attach(HWND window)
{
    hwnd_ = window;
    ::SetPropW(window, object_property, this);
}

void Window::detach()
{
    if (hwnd_ && ::IsWindow(hwnd_)) ::RemovePropW(hwnd_, object_property);
    hwnd_ = nullptr;
}

bool Window::walk_pre_translate_tree(HWND stop, MSG* msg)
{
    for (HWND w = msg->hwnd; w; w = ::GetParent(w)) {
        if (Window* object = from_handle(w); object && object->PreTranslateMessage(msg)) return true;
        if (w == stop || !(::GetWindowLongW(w, GWL_STYLE) & WS_CHILD)) break;
    }
    return false;
}

} // namespace fw
