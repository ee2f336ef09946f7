#include "support/texts.h"
#include "support/language.h"
#include "support/product.h"
#include <windows.h>

namespace vh {

namespace {

std::wstring text_in(int language, int n)
{
    UINT id = 1000 * vh::language(language).textBlock + n;
    return load_string(::GetModuleHandleW(nullptr), id, language_langid(language)).value_or(L"");
}

} // namespace

std::wstring load_text(int n)
{
    int current = current_language().index;
    if (current == lang_french) return text_in(lang_french, n);
    bool english = !is_installer_translated(current) || current == lang_english;
    std::wstring s = text_in(english ? lang_english : current, n);
    if (s != untranslated_marker) return s;
    if (english) return text_in(lang_french, n);
    s = text_in(lang_english, n);
    return s == untranslated_marker ? text_in(lang_french, n) : s;
}

std::wstring format_message(const std::wstring& pattern, const std::wstring& a1,
                            const std::wstring& a2, const std::wstring& a3)
{
    DWORD_PTR args[] = {reinterpret_cast<DWORD_PTR>(a1.c_str()), reinterpret_cast<DWORD_PTR>(a2.c_str()),
                        reinterpret_cast<DWORD_PTR>(a3.c_str())};
    wchar_t* buffer = nullptr;
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_STRING | FORMAT_MESSAGE_ALLOCATE_BUFFER |
                                   FORMAT_MESSAGE_ARGUMENT_ARRAY,
                               pattern.c_str(), 0, 0, reinterpret_cast<LPWSTR>(&buffer), 0,
                               reinterpret_cast<va_list*>(args));
    if (!n) return pattern;
    std::wstring result(buffer, n);
    ::LocalFree(buffer);
    return result;
}

std::wstring format_text(int n, const std::wstring& a1, const std::wstring& a2, const std::wstring& a3)
{
    return format_message(load_text(n), a1, a2, a3);
}

std::wstring installer_title()
{
    return load_text(text::Installer) + L" \u2013 " + product::display_text;
}

} // namespace vh
