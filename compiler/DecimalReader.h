#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace compiler {

// Reads the longest decimal floating-point number at the start of `text`: an optional minus sign,
// digits with an optional point (digits on at least one side), an optional exponent ("E", an
// optional sign, digits). The rest is ignored; no number at all reads 0. Values beyond the double
// range read as infinity, values below it as zero.
double ReadDecimal(std::string_view text);

// The value truncated toward zero, or nothing when that does not fit in 32 bits.
std::optional<std::int32_t> TruncateToInt32(double value);

// The IEEE single nearest to `value` (infinity beyond the single range), as its bit pattern.
std::uint32_t ToFloatBits(double value);

}  // namespace compiler
