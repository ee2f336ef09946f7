#include "support/registry.h"
#include <vector>

namespace vh {

unique_hkey create_key(HKEY root, const std::wstring& subKey)
{
    unique_hkey key;
    check_win32(::RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, 0, MAXIMUM_ALLOWED, nullptr, key.put(), nullptr));
    return key;
}

unique_hkey open_key(HKEY root, const std::wstring& subKey)
{
    unique_hkey key;
    LSTATUS status = ::RegOpenKeyExW(root, subKey.c_str(), 0, MAXIMUM_ALLOWED, key.put());
    if (status == ERROR_FILE_NOT_FOUND) return {};
    check_win32(status);
    return key;
}

bool read_string_value(HKEY key, const wchar_t* valueName, std::wstring& value)
{
    DWORD type = 0, size = 0;
    LSTATUS status = ::RegQueryValueExW(key, valueName, nullptr, &type, nullptr, &size);
    if (status == ERROR_FILE_NOT_FOUND) return false;
    check_win32(status);
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size % 2 != 0) return false;
    if (size == 0) {
        value.clear();
        return true;
    }
    std::vector<wchar_t> data(size / 2, L'\0');
    check_win32(::RegQueryValueExW(key, valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size));
    // The data may have changed between the two queries; only what was returned counts.
    if (size % 2 != 0 || size == 0 || size / 2 > data.size() || data[size / 2 - 1] != L'\0') return false;
    value.assign(data.data(), size / 2 - 1);
    return true;
}

} // namespace vh
