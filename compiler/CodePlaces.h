#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

namespace compiler {

// Where something stands in one program line: byte offsets into its GBK text, `end` past the
// last byte. An empty span marks the place where a missing piece belongs.
struct ByteSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The lines of a program text as the compile cuts them: at each LF, the byte before it dropped.
std::vector<std::string_view> EditorLines(std::string_view programText);

// The piece of `line` a check finding's code is about: the mnemonic for an unknown one, the
// operand for a type or range fault, the surplus operand, the place of a missing one. Faults of
// the whole line (too many code lines, codes it does not know) give the code part of the line.
ByteSpan LocateFault(std::string_view line, int code);

// Whether `code` is about the whole line rather than one piece of it.
bool IsLineFault(int code);

// Characters (single or double byte) in `text` before byte `offset`.
std::size_t CharactersBefore(std::string_view text, std::size_t offset);

// The label a line defines ("NAME:" before its instruction), or an empty span.
ByteSpan LabelDefinition(std::string_view line);

// The words of a line's code part: runs of characters between blanks, tabs, commas and colons.
std::vector<ByteSpan> CodeWords(std::string_view line);

}  // namespace compiler
