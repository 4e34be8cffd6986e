#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string_view>

namespace compiler {

enum class OperandKind : std::uint8_t {
    Number,            // a number literal
    SRegister,         // S reference
    MFRegister,        // M or F reference
    Bit,               // B, I, J or O reference
    Register,          // M, F or S reference
    NumberOrRegister,  // a number literal, or an M, F or S reference
};

struct OperandRule {
    OperandKind kind = OperandKind::Number;
    std::int32_t min = 0;
    std::int32_t max = 0;
};

constexpr int kMaxOperands = 5;

struct InstructionDescriptor {
    std::string_view mnemonic;  // empty for the one descriptor no mnemonic selects
    std::uint8_t group = 0;
    std::uint8_t code = 0;
    std::uint8_t operandCount = 0;
    std::array<OperandRule, kMaxOperands> operands{};
    bool floatOperand2 = false;  // operand 2 is a float literal, encoded as IEEE single
};

// Every descriptor, the unnamed group 1 code 0x30 one included.
std::span<const InstructionDescriptor> InstructionTable();

// Exact, case-sensitive look-up; nullptr when the mnemonic is not in the table.
const InstructionDescriptor* FindInstruction(std::string_view mnemonic);

// The first named descriptor with this group and code (the unnamed one when no name has them);
// nullptr when there is none.
const InstructionDescriptor* FindInstruction(std::uint8_t group, std::uint8_t code);

// The reference letters an operand of this kind accepts, in the order tried when writing a value
// back as text; empty for a number.
std::string_view AcceptedLetters(OperandKind kind);

// The offset a reference letter adds to its number, or -1 for a letter that is no reference.
int ReferenceOffset(char letter);

}  // namespace compiler
