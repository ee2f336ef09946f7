// Conversions between UTF-16 and narrow text in a given Windows code page.
#pragma once
#include <string>
#include <string_view>

namespace vh {

std::wstring to_wide(std::string_view text, unsigned codePage);
std::string to_narrow(std::wstring_view text, unsigned codePage);

} // namespace vh
