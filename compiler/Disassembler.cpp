#include "compiler/Disassembler.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

#include "common/Messages.h"
#include "compiler/CompileRun.h"
#include "compiler/EncodeLine.h"
#include "compiler/InstructionTable.h"

namespace compiler {
namespace {

std::uint32_t ReadBigEndian(std::string_view bytes, std::size_t at) {
    auto b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + i]));
    };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

// A literal that reads back, through a double, as exactly this single.
std::optional<std::string> FloatLiteral(std::uint32_t bits) {
    const float value = std::bit_cast<float>(bits);
    if (std::isnan(value))
        return std::nullopt;
    if (std::isinf(value))
        return value > 0 ? "1E39" : "-1E39";
    char buffer[64];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value));
    if (ec != std::errc{})
        return std::nullopt;
    std::string text(buffer, end);
    for (char& c : text) {
        if (c == 'e')
            c = 'E';
    }
    // A literal starts with a digit or a minus sign; to_chars never writes a leading point.
    return text;
}

std::optional<std::string> OperandText(std::uint32_t field, int k, const InstructionDescriptor& d) {
    const OperandRule& rule = d.operands[static_cast<std::size_t>(k - 1)];
    if (k == 2 && d.floatOperand2)
        return FloatLiteral(field);
    const auto value = static_cast<std::int32_t>(field);
    if (rule.kind == OperandKind::Number) {
        if (value < rule.min || value > rule.max)
            return std::nullopt;
        return std::to_string(value);
    }
    // A number-or-register value beyond the number range can still come from an F or S
    // reference.
    if (rule.kind == OperandKind::NumberOrRegister && value >= rule.min && value <= rule.max)
        return std::to_string(value);
    for (char letter : AcceptedLetters(rule.kind)) {
        const std::int64_t n = static_cast<std::int64_t>(value) - ReferenceOffset(letter);
        if (n >= rule.min && n <= rule.max) {
            std::string text(1, letter);
            return text += std::to_string(n);
        }
    }
    return std::nullopt;
}

std::optional<std::string> RecordText(std::string_view record, std::string& why) {
    const InstructionDescriptor* d =
        FindInstruction(static_cast<std::uint8_t>(record[0]), static_cast<std::uint8_t>(record[1]));
    if (d == nullptr || d->mnemonic.empty()) {
        why = msg::Text(msg::Id::DisasmUnknownInstruction);
        return std::nullopt;
    }
    if (record[2] != 0 || record[3] != 0) {
        why = msg::Text(msg::Id::DisasmReservedBytesSet);
        return std::nullopt;
    }
    std::string text(d->mnemonic);
    for (int k = 1; k <= kMaxOperands; ++k) {
        const std::uint32_t field = ReadBigEndian(record, static_cast<std::size_t>(4 * k));
        if (k > d->operandCount) {
            if (field != 0) {
                why = msg::Text(msg::Id::DisasmExtraOperand, {std::to_string(k)});
                return std::nullopt;
            }
            continue;
        }
        const auto operand = OperandText(field, k, *d);
        if (!operand) {
            why = msg::Text(msg::Id::DisasmOperandNotText, {std::to_string(k)});
            return std::nullopt;
        }
        text += (k == 1 ? " " : ",") + *operand;
    }
    return text;
}

}  // namespace

Disassembly Disassemble(std::string_view bytes) {
    Disassembly out;
    if (bytes.size() < kObjectHeader.size() ||
        bytes.substr(0, kObjectHeader.size()) != kObjectHeader) {
        out.error = msg::Text(msg::Id::DisasmNoHeader, {kObjectHeader});
        return out;
    }
    const std::string_view records = bytes.substr(kObjectHeader.size());
    if (records.size() % kRecordSize != 0) {
        out.error =
            msg::Text(msg::Id::DisasmPartialRecord, {std::to_string(records.size() % kRecordSize)});
        return out;
    }
    const std::size_t count = records.size() / kRecordSize;
    if (count > kMaxCodeLines) {
        out.error = msg::Text(msg::Id::DisasmTooManyRecords, {std::to_string(kMaxCodeLines)});
        return out;
    }
    for (std::size_t r = 0; r < count; ++r) {
        std::string why;
        auto text = RecordText(records.substr(r * kRecordSize, kRecordSize), why);
        if (!text) {
            out.error = msg::Text(msg::Id::DisasmRecordFault, {std::to_string(r + 1), why});
            return out;
        }
        // A compile stops at END, so nothing can follow it.
        if (*text == "END" && r + 1 < count) {
            out.error = msg::Text(msg::Id::DisasmRecordsAfterEnd, {std::to_string(r + 1)});
            return out;
        }
        out.lines.push_back(std::move(*text));
    }
    out.ok = true;
    return out;
}

}  // namespace compiler
