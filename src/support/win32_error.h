// Failures of Windows calls inside the support library become std::system_error carrying
// the Windows code in the system category; absence is a return value, never an exception.
#pragma once
#include <windows.h>
#include <system_error>

namespace vh {

[[noreturn]] void throw_win32_error(DWORD code);
[[noreturn]] inline void throw_last_error() { throw_win32_error(::GetLastError()); }

inline void check_win32(LSTATUS status)
{
    if (status != ERROR_SUCCESS) throw_win32_error(static_cast<DWORD>(status));
}

} // namespace vh
