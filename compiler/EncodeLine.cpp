#include "compiler/EncodeLine.h"

#include <optional>

#include "compiler/DecimalReader.h"
#include "compiler/InstructionTable.h"
#include "compiler/LineSyntax.h"

namespace compiler {
namespace {

bool AcceptsNumber(OperandKind kind) {
    return kind == OperandKind::Number || kind == OperandKind::NumberOrRegister;
}

bool AcceptsLetter(OperandKind kind, char letter) {
    return AcceptedLetters(kind).find(letter) != std::string_view::npos;
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
    const syntax::OperandClass kind = syntax::ClassifyOperand(piece);
    if (kind == syntax::OperandClass::Number) {
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
    const char first = piece.front();
    if (kind != syntax::OperandClass::Reference || !AcceptsLetter(rule.kind, first))
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
    const syntax::InstructionParts parts = syntax::ReadInstruction(line);
    const InstructionDescriptor* d =
        FindInstruction(line.substr(parts.mnemonic.start, parts.mnemonic.size()));
    if (d == nullptr)
        return result::kUnknownMnemonic;

    std::array<std::uint32_t, kMaxOperands> fields{};
    int code = result::kEncoded;
    if (d->operandCount > 0) {
        // Pieces beyond those cut stay empty.
        auto piece = [&](std::size_t i) {
            return i < parts.operands.size()
                       ? line.substr(parts.operands[i].start, parts.operands[i].size())
                       : std::string_view{};
        };
        for (int k = 1; k <= d->operandCount && code == result::kEncoded; ++k) {
            code = EncodeOperand(piece(static_cast<std::size_t>(k - 1)), k, *d,
                                 fields[static_cast<std::size_t>(k - 1)]);
        }
        // The check for a surplus operand runs last and overrides any earlier fault.
        if (!piece(d->operandCount).empty())
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
