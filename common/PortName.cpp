#include "common/PortName.h"

#include <charconv>

namespace text {

int ComPortNumber(std::string_view text) {
    constexpr std::string_view kPrefix = "COM";
    if (!text.starts_with(kPrefix) || text.size() == kPrefix.size() || text[kPrefix.size()] < '0' ||
        text[kPrefix.size()] > '9')
        return 0;
    int number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data() + kPrefix.size(), end, number);
    if (ec != std::errc() || stop != end || number < 1 || number > kHighestComPort)
        return 0;
    return number;
}

}  // namespace text
