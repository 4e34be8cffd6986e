#include "common/MbcsText.h"

#include <algorithm>

namespace mbcs {

bool HasLeadBytes(std::string_view text) {
    return std::any_of(text.begin(), text.end(),
                       [](char c) { return IsLeadByte(static_cast<unsigned char>(c)); });
}

void ToUpper(std::string& text) {
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
        if (text[i] >= 'a' && text[i] <= 'z')
            text[i] = static_cast<char>(text[i] - 'a' + 'A');
    }
}

std::string_view TrimLeft(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i]))
        ++i;
    return text.substr(i);
}

std::string_view TrimRight(std::string_view text) {
    if (!HasLeadBytes(text)) {
        std::size_t end = text.size();
        while (end > 0 && IsWhiteSpace(text[end - 1]))
            --end;
        return text.substr(0, end);
    }
    // A second byte may look like white space, so walk forward over whole characters.
    std::size_t end = 0;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t len = CharLength(text, i);
        if (len == 2 || !IsWhiteSpace(text[i]))
            end = i + len;
        i += len;
    }
    return text.substr(0, end);
}

bool IsBoundary(std::string_view text, std::size_t pos) {
    std::size_t i = 0;
    while (i < pos)
        i += CharLength(text, i);
    return i == pos;
}

std::size_t Find(std::string_view text, std::string_view needle, std::size_t from) {
    if (!HasLeadBytes(text.substr(0, text.size())))
        return text.find(needle, from);
    // Walk character by character so that a match never starts on a second byte.
    std::size_t i = 0;
    while (i < from)
        i += CharLength(text, i);
    for (; i < text.size(); i += CharLength(text, i)) {
        if (text.compare(i, needle.size(), needle) == 0)
            return i;
    }
    return needle.empty() && i == text.size() ? i : std::string_view::npos;
}

std::size_t PreviousCharStart(std::string_view text, std::size_t pos) {
    if (pos == 0)
        return std::string_view::npos;
    std::size_t prev = 0;
    for (std::size_t i = 0; i < pos; i += CharLength(text, i))
        prev = i;
    return prev;
}

}  // namespace mbcs
