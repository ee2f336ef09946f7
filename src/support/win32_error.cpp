#include "support/win32_error.h"

namespace vh {

void throw_win32_error(DWORD code)
{
    // No explanatory text, so what() is the system's message alone (libstdc++ would turn an
    // empty one into ": " followed by the message).
    throw std::system_error(static_cast<int>(code), std::system_category());
}

} // namespace vh
