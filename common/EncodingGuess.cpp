#include "common/EncodingGuess.h"

#include <cstdint>

namespace encoding {
namespace {

bool IsContinuation(std::uint8_t b) {
    return (b & 0xC0) == 0x80;
}

// GB2312's rows: symbols A1–A9, hanzi B0–F7, each with trail bytes A1–FE.
bool IsGb2312Pair(std::uint8_t lead, std::uint8_t trail) {
    const bool row = (lead >= 0xA1 && lead <= 0xA9) || (lead >= 0xB0 && lead <= 0xF7);
    return row && trail >= 0xA1 && trail <= 0xFE;
}

}  // namespace

bool IsUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n;) {
        const std::uint8_t b = p[i];
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (b < 0x80) {
            ++i;
            continue;
        } else if (b >= 0xC2 && b <= 0xDF) {
            length = 2;
            code = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            length = 3;
            code = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            length = 4;
            code = b & 0x07;
        } else {
            return false;
        }
        if (i + length > n)
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if (!IsContinuation(p[i + k]))
                return false;
            code = (code << 6) | (p[i + k] & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        if (overlong || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}

bool IsPlainGb2312(std::string_view bytes) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (p[i] < 0x80)
            continue;
        if (i + 1 >= bytes.size() || !IsGb2312Pair(p[i], p[i + 1]))
            return false;
        ++i;
    }
    return true;
}

Guess GuessEncoding(std::string_view bytes) {
    bool ascii = true;
    for (const char c : bytes) {
        if (static_cast<std::uint8_t>(c) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return Guess::Ascii;
    // Text that reads as ordinary Chinese in GBK stays GBK, even if it happens to be UTF-8 too.
    if (IsUtf8(bytes) && !IsPlainGb2312(bytes))
        return Guess::Utf8;
    return Guess::Gbk;
}

}  // namespace encoding
