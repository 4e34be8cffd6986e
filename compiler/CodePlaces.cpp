#include "compiler/CodePlaces.h"

#include <string>

#include "common/MbcsText.h"
#include "compiler/CompileRun.h"
#include "compiler/EncodeLine.h"
#include "compiler/InstructionTable.h"

namespace compiler {
namespace {

// The code part of a line: comment cut off, white space trimmed on both sides.
ByteSpan CodeRegion(std::string_view line) {
    const std::string_view code = RemoveComment(line);
    const std::size_t begin = code.size() - mbcs::TrimLeft(code).size();
    const std::size_t end = mbcs::TrimRight(code).size();
    return {begin, end < begin ? begin : end};
}

ByteSpan Trimmed(std::string_view line, ByteSpan s) {
    const std::string_view text = line.substr(s.begin, s.end - s.begin);
    const std::size_t left = text.size() - mbcs::TrimLeft(text).size();
    const std::size_t right = text.size() - mbcs::TrimRight(text).size();
    if (left == text.size())
        return {s.begin + left, s.begin + left};
    return {s.begin + left, s.end - right};
}

// The instruction of a line and its pieces, as EncodeLine cuts them.
struct Instruction {
    ByteSpan mnemonic;
    std::vector<ByteSpan> pieces;  // trimmed operand pieces, at most six
    std::size_t codeEnd = 0;
};

Instruction ReadInstruction(std::string_view line) {
    const ByteSpan code = CodeRegion(line);
    const std::string_view text = line.substr(0, code.end);
    std::size_t start = code.begin;
    if (const std::size_t colon = mbcs::Find(text, ':', start); colon != std::string_view::npos)
        start = Trimmed(line, {colon + 1, code.end}).begin;
    Instruction in;
    in.codeEnd = code.end;
    const std::size_t blank = mbcs::Find(text, ' ', start);
    in.mnemonic = {start, blank == std::string_view::npos ? code.end : blank};
    if (blank == std::string_view::npos)
        return in;
    std::size_t from = blank + 1;
    for (int k = 0; k <= kMaxOperands; ++k) {
        const std::size_t comma = mbcs::Find(text, ',', from);
        const std::size_t end = comma == std::string_view::npos ? code.end : comma;
        in.pieces.push_back(Trimmed(line, {from, end}));
        if (comma == std::string_view::npos)
            break;
        from = comma + 1;
    }
    return in;
}

int OperandCount(std::string_view line, ByteSpan mnemonic) {
    std::string name(line.substr(mnemonic.begin, mnemonic.end - mnemonic.begin));
    mbcs::ToUpper(name);
    const InstructionDescriptor* d = FindInstruction(name);
    return d == nullptr ? 0 : d->operandCount;
}

ByteSpan MissingOperand(std::string_view line, const Instruction& in) {
    const auto wanted = static_cast<std::size_t>(OperandCount(line, in.mnemonic));
    for (std::size_t k = 0; k < wanted && k < in.pieces.size(); ++k) {
        if (in.pieces[k].begin == in.pieces[k].end)
            return in.pieces[k];
    }
    return {in.codeEnd, in.codeEnd};
}

// Operand k (1-based) of a type or range fault code, or 0.
int FaultOperand(int code) {
    for (int k = 1; k <= kMaxOperands; ++k) {
        if (code == result::TypeFault(k) || code == result::RangeFault(k))
            return k;
    }
    return 0;
}

bool IsWordBreak(char c) {
    return c == ' ' || c == '\t' || c == ',' || c == ':';
}

}  // namespace

std::vector<std::string_view> EditorLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t lf = text.find('\n', pos);
        if (lf == std::string_view::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, (lf > pos ? lf - 1 : lf) - pos));
        pos = lf + 1;
    }
    return lines;
}

bool IsLineFault(int code) {
    return code != result::kUnknownMnemonic && code != result::kMissingOperand &&
           code != result::kTooManyOperands && FaultOperand(code) == 0;
}

ByteSpan LocateFault(std::string_view line, int code) {
    if (IsLineFault(code))
        return CodeRegion(line);
    const Instruction in = ReadInstruction(line);
    if (code == result::kUnknownMnemonic)
        return in.mnemonic;
    if (code == result::kMissingOperand)
        return MissingOperand(line, in);
    const auto k = static_cast<std::size_t>(code == result::kTooManyOperands
                                                ? OperandCount(line, in.mnemonic) + 1
                                                : FaultOperand(code));
    if (k == 0 || k > in.pieces.size())
        return {in.codeEnd, in.codeEnd};
    if (code == result::kTooManyOperands)
        return {in.pieces[k - 1].begin, in.codeEnd};
    return in.pieces[k - 1];
}

std::size_t CharactersBefore(std::string_view text, std::size_t offset) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < offset && i < text.size(); i += mbcs::CharLength(text, i))
        ++count;
    return count;
}

ByteSpan LabelDefinition(std::string_view line) {
    const ByteSpan code = CodeRegion(line);
    const std::size_t colon = mbcs::Find(line.substr(0, code.end), ':', code.begin);
    if (colon == std::string_view::npos)
        return {};
    return Trimmed(line, {code.begin, colon});
}

std::vector<ByteSpan> CodeWords(std::string_view line) {
    const ByteSpan code = CodeRegion(line);
    std::vector<ByteSpan> words;
    std::size_t start = code.begin;
    for (std::size_t i = code.begin; i <= code.end;) {
        if (i == code.end || IsWordBreak(line[i])) {
            if (i > start)
                words.push_back({start, i});
            start = i + 1;
            ++i;
            continue;
        }
        i += mbcs::CharLength(line, i);
        if (i > code.end)
            i = code.end;
    }
    return words;
}

}  // namespace compiler
