#include "support/text_convert.h"
#include <windows.h>

namespace vh {

std::wstring to_wide(std::string_view text, unsigned codePage)
{
    if (text.empty()) return {};
    int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), n);
    return result;
}

std::string to_narrow(std::wstring_view text, unsigned codePage)
{
    if (text.empty()) return {};
    int n = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), n, nullptr, nullptr);
    return result;
}

} // namespace vh
