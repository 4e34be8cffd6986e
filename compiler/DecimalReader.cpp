#include "compiler/DecimalReader.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace compiler {
namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::size_t SkipDigits(std::string_view text, std::size_t i) {
    while (i < text.size() && IsDigit(text[i]))
        ++i;
    return i;
}

// Where the literal at the start of `text` ends: an optional minus sign, digits with an optional
// point, and an exponent when digits follow its letter; 0 when there are no digits.
std::size_t LiteralEnd(std::string_view text) {
    std::size_t i = 0;
    if (i < text.size() && text[i] == '-')
        ++i;
    const std::size_t intStart = i;
    i = SkipDigits(text, i);
    const std::size_t intDigits = i - intStart;
    std::size_t fracDigits = 0;
    if (i < text.size() && text[i] == '.') {
        const std::size_t fracEnd = SkipDigits(text, i + 1);
        fracDigits = fracEnd - (i + 1);
        if (intDigits + fracDigits > 0)
            i = fracEnd;
    }
    if (intDigits + fracDigits == 0)
        return 0;

    std::size_t end = i;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        const std::size_t expEnd = SkipDigits(text, j);
        if (expEnd > j)
            end = expEnd;
    }
    return end;
}

// A literal too large or too small for a double: infinity or zero, told apart by the decimal
// exponent of its leading digit.
double OutOfRange(const std::string& number, bool negative) {
    long long exponent = 0;
    const std::size_t e = number.find_first_of("Ee");
    if (e != std::string::npos) {
        const bool expNegative = e + 1 < number.size() && number[e + 1] == '-';
        for (std::size_t k = e + (expNegative ? 2 : 1); k < number.size(); ++k) {
            exponent = std::min<long long>(exponent * 10 + (number[k] - '0'), 1'000'000'000);
        }
        if (expNegative)
            exponent = -exponent;
    }
    const std::string_view mantissa(number.data(), e == std::string::npos ? number.size() : e);
    const std::size_t firstNonZero = mantissa.find_first_of("123456789");
    const std::size_t point = mantissa.find('.');
    const long long pointPos =
        static_cast<long long>(point == std::string_view::npos ? mantissa.size() : point);
    const long long digitPos = static_cast<long long>(firstNonZero);
    const long long magnitude =
        exponent + (digitPos < pointPos ? pointPos - digitPos : pointPos - digitPos + 1);
    const double value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

}  // namespace

double ReadDecimal(std::string_view text) {
    const std::size_t end = LiteralEnd(text);
    if (end == 0)
        return 0.0;
    // from_chars takes no '+' in the exponent; everything else it reads as we scanned it.
    std::string number;
    number.reserve(end);
    for (std::size_t k = 0; k < end; ++k) {
        if (text[k] != '+')
            number.push_back(text[k]);
    }
    double value = 0.0;
    auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value,
                                     std::chars_format::general);
    (void)ptr;
    if (ec == std::errc::result_out_of_range)
        return OutOfRange(number, !number.empty() && number.front() == '-');
    return value;
}

std::optional<std::int32_t> TruncateToInt32(double value) {
    const double truncated = std::trunc(value);
    if (!(truncated >= -2147483648.0 && truncated <= 2147483647.0))
        return std::nullopt;
    return static_cast<std::int32_t>(truncated);
}

std::uint32_t ToFloatBits(double value) {
    constexpr double kFloatMax = static_cast<double>(std::numeric_limits<float>::max());
    // Halfway between the largest single and 2^128: from here on, rounding gives infinity.
    const double kOverflowEdge = std::ldexp(0x1.ffffffp0, 127);
    float result;
    if (std::isnan(value)) {
        result = std::numeric_limits<float>::quiet_NaN();
    } else if (std::fabs(value) >= kOverflowEdge) {
        result = std::copysign(std::numeric_limits<float>::infinity(),
                               static_cast<float>(value > 0 ? 1 : -1));
    } else if (std::fabs(value) > kFloatMax) {
        result = std::copysign(std::numeric_limits<float>::max(),
                               static_cast<float>(value > 0 ? 1 : -1));
    } else {
        result = static_cast<float>(value);
    }
    return std::bit_cast<std::uint32_t>(result);
}

}  // namespace compiler
