#include "compiler/LineSyntax.h"

#include <algorithm>

#include "common/MbcsText.h"
#include "compiler/InstructionTable.h"

namespace compiler::syntax {
namespace {

constexpr std::size_t npos = std::string_view::npos;

// GBK bytes: a match never starts on a double-byte character's second byte.
struct Gbk {
    using View = std::string_view;
    static std::size_t Find(View text, char c, std::size_t from) {
        return mbcs::Find(text, c, from);
    }
    static std::size_t Find(View text, const CommentMarker& marker) {
        return mbcs::Find(text, marker.gbk);
    }
    static Span Trim(View line, Span s) {
        const std::string_view part = line.substr(s.start, s.size());
        const std::string_view left = mbcs::TrimLeft(part);
        const std::size_t start = s.start + (part.size() - left.size());
        return {start, start + mbcs::TrimRight(left).size()};
    }
};

// UTF-16 text: every marker and separator is one unit, so a plain search is exact.
struct Utf16 {
    using View = std::u16string_view;
    static std::size_t Find(View text, char c, std::size_t from) {
        return text.find(char16_t(c), from);
    }
    static std::size_t Find(View text, const CommentMarker& marker) {
        return text.find(marker.unicode);
    }
    static bool IsBlank(char16_t c) { return c < 0x80 && mbcs::IsWhiteSpace(char(c)); }
    static Span Trim(View line, Span s) {
        while (s.start < s.end && IsBlank(line[s.start]))
            ++s.start;
        while (s.end > s.start && IsBlank(line[s.end - 1]))
            --s.end;
        return s;
    }
};

template <typename T>
std::size_t CommentStartIn(typename T::View line) {
    for (const CommentMarker& marker : kCommentMarkers) {
        if (const std::size_t at = T::Find(line, marker); at != npos)
            return at;
    }
    return line.size();
}

// The parts of the instruction text in [from, end) of the line.
template <typename T>
InstructionParts InstructionIn(typename T::View line, std::size_t from, std::size_t end) {
    const typename T::View text = line.substr(0, end);
    InstructionParts parts;
    const std::size_t blank = T::Find(text, kMnemonicEnd, from);
    parts.mnemonic = {from, blank == npos ? end : blank};
    if (blank == npos)
        return parts;
    for (std::size_t start = blank + 1; start <= end;) {
        const std::size_t comma = T::Find(text, kOperandSeparator, start);
        const std::size_t pieceEnd = comma == npos ? end : comma;
        parts.operands.push_back(T::Trim(line, {start, pieceEnd}));
        if (comma == npos)
            break;
        start = comma + 1;
    }
    return parts;
}

template <typename T>
LineLayout Read(typename T::View line) {
    LineLayout layout;
    layout.comment = CommentStartIn<T>(line);
    layout.code = T::Trim(line, {0, layout.comment});
    std::size_t from = layout.code.start;
    const std::size_t colon = T::Find(line.substr(0, layout.code.end), kLabelEnd, from);
    if (colon != npos) {
        layout.label = Span{from, colon + 1};
        // With no code after the label, the empty mnemonic stands after the blanks.
        from = T::Trim(line, {colon + 1, layout.comment}).start;
    }
    layout.instruction = InstructionIn<T>(line, from, std::max(from, layout.code.end));
    return layout;
}

bool IsDigit(char16_t c) {
    return c >= '0' && c <= '9';
}

char16_t Unit(char c) {
    return static_cast<unsigned char>(c);
}

char16_t Unit(char16_t c) {
    return c;
}

template <typename View>
OperandClass Classify(View piece) {
    if (piece.empty())
        return OperandClass::Name;
    const char16_t first = Unit(piece.front());
    if (first == '-' || IsDigit(first))
        return OperandClass::Number;
    const char16_t upper = first >= 'a' && first <= 'z' ? char16_t(first - 'a' + 'A') : first;
    if (piece.size() >= 2 && IsDigit(Unit(piece[1])) && upper < 0x80 &&
        ReferenceOffset(char(upper)) >= 0)
        return OperandClass::Reference;
    return OperandClass::Name;
}

}  // namespace

std::size_t CommentStart(std::string_view line) {
    return CommentStartIn<Gbk>(line);
}

std::size_t CommentStart(std::u16string_view line) {
    return CommentStartIn<Utf16>(line);
}

Span CodeOf(std::string_view line) {
    return Gbk::Trim(line, {0, CommentStart(line)});
}

std::optional<std::size_t> LabelEnd(std::string_view code) {
    const std::size_t colon = mbcs::Find(code, kLabelEnd);
    return colon == npos ? std::nullopt : std::optional(colon);
}

InstructionParts ReadInstruction(std::string_view text) {
    return InstructionIn<Gbk>(text, 0, text.size());
}

LineLayout ReadLine(std::string_view line) {
    return Read<Gbk>(line);
}

LineLayout ReadLine(std::u16string_view line) {
    return Read<Utf16>(line);
}

OperandClass ClassifyOperand(std::string_view piece) {
    return Classify(piece);
}

OperandClass ClassifyOperand(std::u16string_view piece) {
    return Classify(piece);
}

}  // namespace compiler::syntax
