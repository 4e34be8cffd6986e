#include "common/DecimalValue.h"

#include <algorithm>
#include <limits>

namespace text {

std::int32_t DecimalValue(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        magnitude = std::min(kLimit, magnitude * 10 + (text[i] - '0'));
    if (negative)
        return static_cast<std::int32_t>(-magnitude);
    return static_cast<std::int32_t>(std::min(magnitude, kLimit - 1));
}

}  // namespace text
