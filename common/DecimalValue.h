#pragma once

#include <cstdint>
#include <string_view>

namespace text {

// A number as the dialogs read one: leading white space skipped, an optional sign, then decimal
// digits up to the first other character. No digits reads as 0; the result saturates to the
// signed 32-bit range.
std::int32_t DecimalValue(std::string_view text);

}  // namespace text
