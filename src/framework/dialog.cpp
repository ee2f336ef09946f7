#include "framework/dialog.h"
#include "framework/application.h"
#include "framework/data_exchange.h"

namespace fw {

INT_PTR CALLBACK Dialog::dialog_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* self = nullptr;
    if (message == WM_INITDIALOG) {
        self = reinterpret_cast<Dialog*>(lParam);
        self->attach(window);
    } else {
        self = static_cast<Dialog*>(Window::from_handle(window));
    }
    if (!self) return FALSE;
    INT_PTR result = self->handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) self->detach();
    return result;
}

INT_PTR Dialog::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: {
        WORD id = LOWORD(wParam);
        if (OnCommand(id, HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return TRUE;
        if (id == IDOK) { OnOK(); return TRUE; }
        if (id == IDCANCEL) { OnCancel(); return TRUE; }
        return FALSE;
    }
    default: {
        INT_PTR result = 0;
        if (OnMessage(message, wParam, lParam, result)) {
            ::SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, result);
            return TRUE;
        }
        return FALSE;
    }
    }
}

bool Dialog::OnInitDialog()
{
    UpdateData(false);
    return true;
}

void Dialog::OnOK()
{
    if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }
bool Dialog::OnCommand(WORD, WORD, HWND) { return false; }
bool Dialog::OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }

bool Dialog::Create(HWND parent)
{
    return ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), parent, dialog_proc,
                                reinterpret_cast<LPARAM>(this)) != nullptr;
}

INT_PTR Dialog::DoModal(HWND owner)
{
    HWND top = nullptr;
    if (!owner) owner = Application::safe_owner(nullptr, &top);
    bool reenableOwner = owner && ::IsWindowEnabled(owner);
    ended_ = false;
    result_ = IDCANCEL;
    if (!::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, dialog_proc,
                              reinterpret_cast<LPARAM>(this))) {
        if (top) ::EnableWindow(top, TRUE);
        return -1;
    }
    if (reenableOwner) ::EnableWindow(owner, FALSE);
    ::ShowWindow(hwnd(), SW_SHOW);
    modalRunning_ = true;
    Application* app = Application::instance();
    while (!ended_) {
        MSG msg;
        if (::GetMessageW(&msg, nullptr, 0, 0) <= 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        bool handled = app ? app->PreTranslateMessage(&msg) : PreTranslateMessage(&msg);
        if (!handled) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    modalRunning_ = false;
    if (reenableOwner) ::EnableWindow(owner, TRUE);
    if (top) ::EnableWindow(top, TRUE);
    HWND self = hwnd();
    if (owner && ::GetActiveWindow() == self) ::SetActiveWindow(owner);
    ::DestroyWindow(self);
    return result_;
}

void Dialog::EndDialog(INT_PTR result)
{
    result_ = result;
    ended_ = true;
    if (!modalRunning_) ::DestroyWindow(hwnd());
    else ::PostMessageW(hwnd(), WM_NULL, 0, 0);   // wake the modal loop
}

bool Dialog::PreTranslateMessage(MSG* msg)
{
    // Keyboard navigation for the top-level dialog and every page inside it.
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
    if (::GetWindowLongW(hwnd(), GWL_STYLE) & WS_CHILD) return false;
    if (msg->hwnd != hwnd() && !::IsChild(hwnd(), msg->hwnd)) return false;
    return ::IsDialogMessageW(hwnd(), msg) != FALSE;
}

bool Dialog::UpdateData(bool save)
{
    DataExchange dx(*this, save);
    try {
        DoDataExchange(dx);
        return true;
    } catch (const validation_failed&) {
        return false;
    }
}

} // namespace fw
