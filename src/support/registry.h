// Small registry helpers; Windows failures raise std::system_error (throw_win32_error).
#pragma once
#include "support/unique_handle.h"
#include "support/win32_error.h"
#include <string>

namespace vh {

unique_hkey create_key(HKEY root, const std::wstring& subKey);
// A null key when the key does not exist.
unique_hkey open_key(HKEY root, const std::wstring& subKey);
// False when the value is absent or not a usable string; REG_EXPAND_SZ is returned unexpanded.
bool read_string_value(HKEY key, const wchar_t* valueName, std::wstring& value);

} // namespace vh
