#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace compiler {

constexpr std::size_t kRecordSize = 24;
using InstructionRecord = std::array<std::uint8_t, kRecordSize>;

// Result codes of EncodeLine. Operand faults are 10 * (k + 1) for a form its kind does not
// accept and 10 * (k + 1) + 1 for a value out of range, k = 1..5.
namespace result {
constexpr int kEncoded = 0;
constexpr int kUnknownMnemonic = 1;
constexpr int kMissingOperand = 85;
constexpr int kTooManyOperands = 86;
constexpr int kEnd = 136;
constexpr int TypeFault(int operand) {
    return 10 * (operand + 1);
}
constexpr int RangeFault(int operand) {
    return 10 * (operand + 1) + 1;
}
}  // namespace result

// Encodes one prepared line (upper case, trimmed, comments and label definition removed, label
// uses replaced) into `record`. The record is complete when the result is kEncoded or kEnd; it is
// untouched for kUnknownMnemonic and must not be used after any other fault.
int EncodeLine(std::string_view line, InstructionRecord& record);

}  // namespace compiler
