#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

// Object program bytes written out by hand, independent of the compiler under test.
inline const std::string kHeader = "This is RVL412E.kxo!";

inline std::string Record(int group, int code, std::initializer_list<std::int64_t> operands = {}) {
    std::string bytes{static_cast<char>(group), static_cast<char>(code), 0, 0};
    for (std::int64_t operand : operands) {
        const auto field = static_cast<std::uint32_t>(operand);
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<char>(field >> shift));
    }
    bytes.resize(24, 0);
    return bytes;
}
