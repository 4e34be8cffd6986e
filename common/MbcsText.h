#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Program texts and register files are bytes in the system code page (GBK). A byte 0x81..0xFE
// starts a double-byte character whose second byte may be any byte, an ASCII letter, blank or
// comma included; such a second byte is never looked at on its own.
namespace mbcs {

inline bool IsLeadByte(unsigned char c) {
    return c >= 0x81 && c <= 0xFE;
}

// Length in bytes of the character that starts at `pos` (1 or 2; 1 for a lone lead byte at the
// end of the text).
inline std::size_t CharLength(std::string_view text, std::size_t pos) {
    return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

inline bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool HasLeadBytes(std::string_view text);

// Upper-cases the single-byte letters a..z in place; double-byte characters stay as they are.
void ToUpper(std::string& text);

std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);
inline std::string_view Trim(std::string_view text) {
    return TrimRight(TrimLeft(text));
}

// First occurrence of `needle` that starts on a character boundary at or after `from`, or npos.
std::size_t Find(std::string_view text, std::string_view needle, std::size_t from = 0);
inline std::size_t Find(std::string_view text, char c, std::size_t from = 0) {
    return Find(text, std::string_view(&c, 1), from);
}

// The character boundary just before `pos` (which must itself be a boundary), or npos for 0.
std::size_t PreviousCharStart(std::string_view text, std::size_t pos);

// Whether `pos` is a character boundary.
bool IsBoundary(std::string_view text, std::size_t pos);

}  // namespace mbcs
