#include "support/product.h"
#include "support/registry.h"
#include <stdexcept>

namespace vh {

std::wstring product_display_name(std::uint32_t productCode)
{
    if (productCode == product::code) return product::key_name;
    throw std::logic_error("logic error");
}

std::wstring read_registered_path(std::uint32_t productCode)
{
    unique_hkey key = open_key(HKEY_LOCAL_MACHINE, product::maker_key);
    if (!key) return {};
    std::wstring path;
    if (!read_string_value(key.get(), (product_display_name(productCode) + L" Path").c_str(), path)) return {};
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES ? path : std::wstring();
}

bool register_program_path(const std::wstring& path)
{
    try {
        unique_hkey key = create_key(HKEY_LOCAL_MACHINE, product::maker_key);
        std::wstring name = product_display_name(product::code) + L" Path";
        check_win32(::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                                     reinterpret_cast<const BYTE*>(path.c_str()),
                                     static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t))));
        return true;
    } catch (...) {
        return false;
    }
}

} // namespace vh
