#include "support/error_text.h"
#include "support/language.h"
#include "resources/resource_ids.h"

namespace vh {

std::wstring system_message(DWORD code)
{
    auto format = [code](DWORD languageId) {
        wchar_t* buffer = nullptr;
        DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS |
                                       FORMAT_MESSAGE_ALLOCATE_BUFFER,
                                   nullptr, code, languageId, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
        std::wstring text = n ? std::wstring(buffer, n) : std::wstring();
        if (buffer) ::LocalFree(buffer);
        return text;
    };
    std::wstring text = format(0);
    if (text.empty() && ::GetLastError() == ERROR_RESOURCE_LANG_NOT_FOUND) text = format(0);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
    return text;
}

std::wstring error_text(HRESULT code) { return error_text(code, system_message); }

std::wstring error_text(HRESULT code, std::wstring (*systemMessage)(DWORD))
{
    auto bits = static_cast<DWORD>(code);
    if (bits & 0x20000000) {   // customer code
        if (bits & 0x08000000) {
            if (WORD id = LOWORD(bits)) {
                std::wstring text = load_resource_string(id);
                if (!text.empty()) return text;
            }
        }
        return error_text(E_FAIL, systemMessage);
    }
    std::wstring text = systemMessage(bits);
    if (!text.empty()) return text;
    return code == E_FAIL ? load_resource_string(IDS_ERROR) : error_text(E_FAIL, systemMessage);
}

} // namespace vh
