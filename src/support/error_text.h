// The message for an HRESULT or Windows error code.
#pragma once
#include <windows.h>
#include <string>

namespace vh {

// Codes with bit 29 (customer) and bit 27 set are the installer's own: the string resource
// whose id is the low 16 bits.
constexpr HRESULT make_own_code(WORD stringId) { return HRESULT(0x28000000u | stringId); }

std::wstring error_text(HRESULT code);
// error_text with another source of system messages (a system without them, in tests).
std::wstring error_text(HRESULT code, std::wstring (*systemMessage)(DWORD));
// The system's message table entry, trailing line ends removed; empty when none.
std::wstring system_message(DWORD code);

} // namespace vh
