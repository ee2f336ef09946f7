// Every message the installer shows outside its pages goes through message_box.
#pragma once
#include <windows.h>
#include <string>

namespace vh {

// text and caption: a pointer to text, or a string identifier (a value below 0x10000,
// MAKEINTRESOURCEW); a null text is the empty string, a null or empty caption gives the
// application name.
int message_box(const wchar_t* text, UINT type, const wchar_t* caption = nullptr);
inline int message_box(const std::wstring& text, UINT type, const wchar_t* caption = nullptr)
{
    return message_box(text.c_str(), type, caption);
}
// The type word completed with the default icon for its buttons and right-to-left reading.
UINT complete_message_type(UINT type, HWND owner);
// error_text of the code, exclamation icon, no caption.
void show_error_message(HRESULT code);

} // namespace vh
