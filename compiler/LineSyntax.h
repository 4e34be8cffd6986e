#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

// How a program line reads, for everyone who reads one: the compile, the label pass, the encoder
// and the editor's colours. A line is read as GBK bytes (positions are byte offsets) or as UTF-16
// text (positions are UTF-16 units); both follow the same rules:
//   comment   the first marker of the highest precedence found anywhere in the line starts it;
//   code      what comes before, blanks trimmed at both ends;
//   label     the code up to its first colon, the colon included;
//   mnemonic  after the label and blanks, up to the first space;
//   operands  after that space, pieces between commas, blanks trimmed.
namespace compiler::syntax {

// Comment markers in their order of precedence: an apostrophe anywhere wins over an earlier
// semicolon, and so on. Each as its GBK bytes and the character they stand for.
struct CommentMarker {
    std::string_view gbk;
    char16_t unicode;
};
inline constexpr CommentMarker kCommentMarkers[] = {
    {"'", u'\''},             // apostrophe
    {";", u';'},              // semicolon
    {"\xA3\xBB", u'\uFF1B'},  // full-width semicolon
    {"\xA1\xAE", u'\u2018'},  // left single quotation mark
    {"\xA1\xAF", u'\u2019'},  // right single quotation mark
};
inline constexpr char kLabelEnd = ':';
inline constexpr char kMnemonicEnd = ' ';
inline constexpr char kOperandSeparator = ',';

// Positions [start, end) in the line.
struct Span {
    std::size_t start = 0;
    std::size_t end = 0;
    std::size_t size() const { return end - start; }
    bool empty() const { return end == start; }
    bool operator==(const Span&) const = default;
};

// The mnemonic and operands of an instruction's text.
struct InstructionParts {
    Span mnemonic;
    // Every piece between commas after the mnemonic's space, empty ones included (a trailing comma
    // leaves one); none when the mnemonic has no space after it.
    std::vector<Span> operands;
};

struct LineLayout {
    std::size_t comment = 0;  // where the comment starts; the line's size when it has none
    Span code;
    std::optional<Span> label;  // the definition's name and its colon
    InstructionParts instruction;
};

// Where the comment starts; the line's size when there is none.
std::size_t CommentStart(std::string_view line);
std::size_t CommentStart(std::u16string_view line);

// The line's code: the comment cut, blanks trimmed.
Span CodeOf(std::string_view line);

// The colon that ends a label definition in a line's code, if it has one.
std::optional<std::size_t> LabelEnd(std::string_view code);

// The mnemonic and operands of an instruction's text (its label already taken off).
InstructionParts ReadInstruction(std::string_view text);

// The whole line at once, with every position in the line as given.
LineLayout ReadLine(std::string_view line);
LineLayout ReadLine(std::u16string_view line);

// What an operand piece is by how it starts; its letter decides which reference for a Reference.
enum class OperandClass : std::uint8_t {
    Number,     // a digit or a minus sign
    Reference,  // a reference letter, in either case, then a digit
    Name,       // anything else: a label's use, or a fault once labels are resolved
};
OperandClass ClassifyOperand(std::string_view piece);
OperandClass ClassifyOperand(std::u16string_view piece);

}  // namespace compiler::syntax
