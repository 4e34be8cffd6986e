// Any bytes as one prepared line: a known result code, and a complete record when it encodes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "compiler/EncodeLine.h"
#include "compiler/InstructionTable.h"

namespace {

bool IsKnownCode(int code) {
    using namespace compiler::result;
    if (code == kEncoded || code == kUnknownMnemonic || code == kMissingOperand ||
        code == kTooManyOperands || code == kEnd)
        return true;
    for (int k = 1; k <= compiler::kMaxOperands; ++k) {
        if (code == TypeFault(k) || code == RangeFault(k))
            return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    compiler::InstructionRecord record{};
    const int code = compiler::EncodeLine(line, record);
    if (!IsKnownCode(code))
        std::abort();
    if (code == compiler::result::kEncoded || code == compiler::result::kEnd) {
        const auto* d = compiler::FindInstruction(record[0], record[1]);
        if (d == nullptr || record[2] != 0 || record[3] != 0)
            std::abort();
        // Fields beyond the operand count stay zero.
        for (std::size_t i = 4 + 4 * static_cast<std::size_t>(d->operandCount); i < record.size();
             ++i) {
            if (record[i] != 0)
                std::abort();
        }
    }
    return 0;
}
