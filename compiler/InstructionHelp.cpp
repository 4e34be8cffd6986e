#include "compiler/InstructionHelp.h"

#include <array>

#include "common/Messages.h"

namespace compiler {
namespace {

// Jumps, calls, loops and tests take a line of the program as their first number.
bool IsTarget(const InstructionDescriptor& d, std::size_t k) {
    return d.group == 3 && k == 0 && d.operands[0].kind == OperandKind::Number;
}

std::string Describe(const InstructionDescriptor& d, std::size_t k) {
    const OperandRule& rule = d.operands[k];
    const std::string min = std::to_string(rule.min);
    const std::string max = std::to_string(rule.max);
    switch (rule.kind) {
        case OperandKind::Number:
            if (k == 1 && d.floatOperand2)
                return msg::Text(msg::Id::HintFloat);
            return msg::Text(IsTarget(d, k) ? msg::Id::HintTarget : msg::Id::HintNumber,
                             {min, max});
        case OperandKind::SRegister:
            return msg::Text(msg::Id::HintSRegister, {min, max});
        case OperandKind::MFRegister:
            return msg::Text(msg::Id::HintMFRegister, {min, max});
        case OperandKind::Bit:
            return msg::Text(msg::Id::HintBit, {min, max});
        case OperandKind::Register:
            return msg::Text(msg::Id::HintRegister, {min, max});
        case OperandKind::NumberOrRegister:
            return msg::Text(msg::Id::HintNumberOrRegister, {min, max});
    }
    return {};
}

}  // namespace

std::string OperandHint(const InstructionDescriptor& d) {
    constexpr std::array<msg::Id, kMaxOperands + 1> kPatterns = {
        msg::Id::HintNoOperands,    msg::Id::HintOneOperand,   msg::Id::HintTwoOperands,
        msg::Id::HintThreeOperands, msg::Id::HintFourOperands, msg::Id::HintFiveOperands};
    std::array<std::string, kMaxOperands> parts;
    for (std::size_t k = 0; k < d.operandCount && k < parts.size(); ++k)
        parts[k] = Describe(d, k);
    return msg::Text(kPatterns[d.operandCount],
                     {d.mnemonic, parts[0], parts[1], parts[2], parts[3], parts[4]});
}

}  // namespace compiler
