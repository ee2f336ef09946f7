#include "support/win32_error.h"

namespace vh {

void throw_win32_error(DWORD code)
{
    // Empty explanatory text: what() is then the system's message for the code.
    throw std::system_error(static_cast<int>(code), std::system_category(), "");
}

} // namespace vh
