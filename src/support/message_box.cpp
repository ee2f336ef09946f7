#include "support/message_box.h"
#include "support/error_text.h"
#include "support/language.h"
#include "support/ui_hooks.h"

namespace vh {

namespace {

std::wstring resolve_text(const wchar_t* text)
{
    if (!text) return {};
    if (IS_INTRESOURCE(text)) return load_resource_string(static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)));
    return text;
}

} // namespace

UINT complete_message_type(UINT type, HWND owner)
{
    if ((type & MB_ICONMASK) == 0) {
        switch (type & MB_TYPEMASK) {
        case MB_OK: case MB_OKCANCEL: type |= MB_ICONEXCLAMATION; break;
        case MB_YESNOCANCEL: case MB_YESNO: type |= MB_ICONQUESTION; break;
        default: break;
        }
    }
    bool rtl = owner ? (::GetWindowLongW(owner, GWL_EXSTYLE) & WS_EX_LAYOUTRTL) != 0
                     : user_default_language_is_rtl();
    if (rtl) type |= MB_RTLREADING;
    return type;
}

int message_box(const wchar_t* text, UINT type, const wchar_t* caption)
{
    const ui_hooks& h = hooks();
    bool unattended = (type & MB_TYPEMASK) == MB_OK && h.unattended && h.unattended();

    HWND owner = nullptr, top = nullptr;
    if (h.owner_windows) std::tie(owner, top) = h.owner_windows();
    else owner = find_owner_window();
    if (!unattended) {
        if (h.enable_modeless) h.enable_modeless(false);
        if (owner && owner != top) ::EnableWindow(owner, TRUE);
    }

    std::wstring body = resolve_text(text);
    std::wstring title;
    if (caption && IS_INTRESOURCE(caption)) title = resolve_text(caption);
    else if (caption && *caption) title = caption;
    else title = application_name();

    int result = IDOK;
    if (unattended) ::OutputDebugStringW((body + L"\n").c_str());
    else result = ::MessageBoxW(owner, body.c_str(), title.c_str(), complete_message_type(type, owner));

    if (!unattended) {
        if (top) ::EnableWindow(top, TRUE);
        if (h.enable_modeless) h.enable_modeless(true);
    }
    return result;
}

void show_error_message(HRESULT code)
{
    message_box(error_text(code), MB_ICONEXCLAMATION);
}

} // namespace vh
