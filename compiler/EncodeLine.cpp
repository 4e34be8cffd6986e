#include "compiler/EncodeLine.h"

#include <optional>

#include "common/MbcsText.h"
#include "compiler/DecimalReader.h"
#include "compiler/InstructionTable.h"

namespace compiler {
namespace {

constexpr int kMaxPieces = kMaxOperands + 1;

struct Pieces {
    std::array<std::string_view, kMaxPieces> text{};
};

// Cuts the operand text at commas into at most six trimmed pieces; text after a sixth comma is
// dropped and pieces beyond the last one cut stay empty.
Pieces CutOperands(std::string_view operands) {
    Pieces pieces;
    std::size_t start = 0;
    for (int k = 0; k < kMaxPieces && start <= operands.size(); ++k) {
        const std::size_t comma = mbcs::Find(operands, ',', start);
        const std::size_t end = comma == std::string_view::npos ? operands.size() : comma;
        pieces.text[k] = mbcs::Trim(operands.substr(start, end - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    return pieces;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool AcceptsNumber(OperandKind kind) {
    return kind == OperandKind::Number || kind == OperandKind::NumberOrRegister;
}

bool AcceptsLetter(OperandKind kind, char letter) {
    switch (letter) {
        case 'S':
            return kind == OperandKind::SRegister || kind == OperandKind::Register ||
                   kind == OperandKind::NumberOrRegister;
        case 'M':
        case 'F':
            return kind == OperandKind::MFRegister || kind == OperandKind::Register ||
                   kind == OperandKind::NumberOrRegister;
        case 'B':
        case 'I':
        case 'J':
        case 'O':
            return kind == OperandKind::Bit;
        default:
            return false;
    }
}

bool InRange(std::optional<std::int32_t> value, const OperandRule& rule) {
    return value && *value >= rule.min && *value <= rule.max;
}

// Checks one operand piece against its rule; on success stores its 32-bit field value.
int EncodeOperand(std::string_view piece, int k, const InstructionDescriptor& d,
                  std::uint32_t& field) {
    const OperandRule& rule = d.operands[static_cast<std::size_t>(k - 1)];
    if (piece.empty())
        return result::kMissingOperand;
    const char first = piece.front();
    if (first == '-' || IsDigit(first)) {
        if (!AcceptsNumber(rule.kind))
            return result::TypeFault(k);
        const double value = ReadDecimal(piece);
        if (k == 2 && d.floatOperand2) {
            field = ToFloatBits(value);
            return result::kEncoded;
        }
        const auto truncated = TruncateToInt32(value);
        if (!InRange(truncated, rule))
            return result::RangeFault(k);
        field = static_cast<std::uint32_t>(*truncated);
        return result::kEncoded;
    }
    if (!AcceptsLetter(rule.kind, first))
        return result::TypeFault(k);
    if (piece.size() < 2 || !IsDigit(piece[1]))
        return result::TypeFault(k);
    const auto n = TruncateToInt32(ReadDecimal(piece.substr(1)));
    if (!InRange(n, rule))
        return result::RangeFault(k);
    field = static_cast<std::uint32_t>(*n + ReferenceOffset(first));
    return result::kEncoded;
}

void PutBigEndian(InstructionRecord& record, std::size_t offset, std::uint32_t value) {
    record[offset] = static_cast<std::uint8_t>(value >> 24);
    record[offset + 1] = static_cast<std::uint8_t>(value >> 16);
    record[offset + 2] = static_cast<std::uint8_t>(value >> 8);
    record[offset + 3] = static_cast<std::uint8_t>(value);
}

}  // namespace

int EncodeLine(std::string_view line, InstructionRecord& record) {
    const std::size_t blank = mbcs::Find(line, ' ');
    const std::string_view mnemonic = line.substr(0, blank);
    const std::string_view operandText =
        blank == std::string_view::npos ? std::string_view{} : line.substr(blank + 1);

    const InstructionDescriptor* d = FindInstruction(mnemonic);
    if (d == nullptr)
        return result::kUnknownMnemonic;

    std::array<std::uint32_t, kMaxOperands> fields{};
    int code = result::kEncoded;
    if (d->operandCount > 0) {
        const Pieces pieces = CutOperands(operandText);
        for (int k = 1; k <= d->operandCount && code == result::kEncoded; ++k) {
            code = EncodeOperand(pieces.text[static_cast<std::size_t>(k - 1)], k, *d,
                                 fields[static_cast<std::size_t>(k - 1)]);
        }
        // The check for a surplus operand runs last and overrides any earlier fault.
        if (!pieces.text[d->operandCount].empty())
            code = result::kTooManyOperands;
    }

    record.fill(0);
    record[0] = d->group;
    record[1] = d->code;
    for (std::size_t k = 0; k < kMaxOperands; ++k)
        PutBigEndian(record, 4 + 4 * k, fields[k]);
    if (code != result::kEncoded)
        return code;
    return d->mnemonic == "END" ? result::kEnd : result::kEncoded;
}

}  // namespace compiler
