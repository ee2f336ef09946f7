// Product identity: the fixed facts about the product this installer installs, its
// display name by product code, and the registered path of its main program.
#pragma once
#include <cstdint>
#include <string>

namespace vh {

namespace product {
constexpr std::uint32_t code = 775;                        // product line 3, major version 7
constexpr wchar_t name[] = L"Tavrelle";
constexpr wchar_t key_name[] = L"Tavrelle 7";
constexpr wchar_t version_text[] = L"7.08m";
constexpr wchar_t display_text[] = L"Tavrelle 7.08m";
constexpr wchar_t display_version[] = L"7.8.13.1";
constexpr std::uint64_t installer_version = 0x0007'0008'000D'0001;
constexpr wchar_t maker_folder[] = L"Varnholt";
constexpr wchar_t maker_key[] = L"Software\\Varnholt";
constexpr wchar_t uninstall_key[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavrelle 7";
} // namespace product

// "Tavrelle 7" for 775; any other code raises std::logic_error("logic error").
std::wstring product_display_name(std::uint32_t productCode);
// The recorded main-program path, or empty when none is recorded or nothing exists there.
std::wstring read_registered_path(std::uint32_t productCode);
// Records the path for this program's product; false when writing failed. Never throws.
bool register_program_path(const std::wstring& path);

} // namespace vh
