#include "compiler/InstructionTable.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace compiler {
namespace {

// Operand notations of the instruction table.
constexpr OperandRule NP{OperandKind::Number, 0, 99999999};          // N+
constexpr OperandRule NS{OperandKind::Number, -99999999, 99999999};  // N±
constexpr OperandRule T{OperandKind::Number, 0, 2000};               // record number
constexpr OperandRule FL{OperandKind::Number, 0, 0};                 // float, not range-checked
constexpr OperandRule NR{OperandKind::NumberOrRegister, 0, 99999999};
constexpr OperandRule R{OperandKind::Register, 0, 3000};
constexpr OperandRule MF{OperandKind::MFRegister, 0, 10100};
constexpr OperandRule SR{OperandKind::SRegister, 0, 1024};
constexpr OperandRule BIT{OperandKind::Bit, 0, 99};

struct Row {
    std::string_view mnemonic;
    std::uint8_t group;
    std::uint8_t code;
    std::initializer_list<OperandRule> operands;
};

constexpr std::string_view kFloatMnemonics[] = {"SETELL", "FSETELL", "FMOV", "FADD",
                                                "FSUB",   "FMUL",    "FDIV", "FATAN"};

// clang-format off
const Row kRows[] = {
    {"LINAD", 1, 0x00, {NP, NS, NS}},
    {"LINAM", 1, 0x01, {NP, R, R}},
    {"LINID", 1, 0x02, {NP, NS, NS}},
    {"LINIM", 1, 0x03, {NP, R, R}},
    {"CWAD", 1, 0x04, {NP, NS, NS, NS, NS}},
    {"CCWAD", 1, 0x05, {NP, NS, NS, NS, NS}},
    {"CWAM", 1, 0x06, {NP, R, R, R, R}},
    {"CCWAM", 1, 0x07, {NP, R, R, R, R}},
    {"CWID", 1, 0x08, {NP, NS, NS, NS, NS}},
    {"CCWID", 1, 0x09, {NP, NS, NS, NS, NS}},
    {"CWIM", 1, 0x10, {NP, R, R, R, R}},
    {"CCWIM", 1, 0x11, {NP, R, R, R, R}},
    {"DRVAD", 1, 0x12, {NP, NS}},
    {"DRVAM", 1, 0x13, {NP, R}},
    {"DRVID", 1, 0x14, {NP, NS}},
    {"DRVIM", 1, 0x15, {NP, R}},
    {"STOP", 1, 0x16, {NP}},
    {"CWADP", 1, 0x24, {NP, NS, NS, NS, NS}},
    {"CWAMP", 1, 0x26, {NP, R, R, R, R}},
    {"CWIDP", 1, 0x28, {NP, NS, NS, NS, NS}},
    {"", 1, 0x30, {NP, R, R, R, R}},  // kept in the table, selected by no mnemonic
    {"CEAD", 1, 0x36, {NP, NS, NS, NS, NS}},
    {"CEAM", 1, 0x37, {NP, R, R, R, R}},

    {"SPEED", 2, 0x00, {NP, NP, NP, NP}},
    {"SPEEDM", 2, 0x01, {NP, R, R, R}},
    {"ADJ", 2, 0x02, {NP, NP}},
    {"ADJM", 2, 0x03, {NP, R}},
    {"PAUSE", 2, 0x04, {NP}},
    {"DELAY", 2, 0x06, {NP}},
    {"DELAYM", 2, 0x07, {R}},
    {"END", 2, 0x08, {}},
    {"DISPLAY", 2, 0x10, {NP, NR, NP}},
    {"CHSPEED", 2, 0x12, {NP, NP, NP}},
    {"CHSPEEDM", 2, 0x13, {NP, R, R}},
    {"SETC", 2, 0x14, {}},
    {"ONESTEP", 2, 0x18, {}},
    {"SETELL", 2, 0x20, {NP, FL}},
    {"FSETELL", 2, 0x20, {NP, FL}},
    {"SETELLM", 2, 0x21, {NP, R}},
    {"FSETELLM", 2, 0x21, {NP, R}},
    {"SPHON", 2, 0x22, {NP, NS}},
    {"NOVSPEED", 2, 0x24, {NP, NP, NP}},
    {"NOVSPEEDM", 2, 0x25, {NP, R, R}},
    {"CWOVERLAP", 2, 0x26, {NP, NS}},
    {"CWOVERLAPM", 2, 0x27, {NP, R}},
    {"SPSY", 2, 0x30, {NP, NP, NP}},
    {"SPSYM", 2, 0x31, {NP, R, R}},

    {"JMP", 3, 0x00, {NP}},
    {"JMPM", 3, 0x01, {R}},
    {"JB", 3, 0x02, {T, BIT}},
    {"JNB", 3, 0x03, {T, BIT}},
    {"JGD", 3, 0x04, {T, R, NS}},
    {"JGM", 3, 0x05, {T, R, R}},
    {"JLD", 3, 0x06, {T, R, NS}},
    {"JLM", 3, 0x07, {T, R, R}},
    {"JED", 3, 0x08, {T, R, NS}},
    {"JEM", 3, 0x09, {T, R, R}},
    {"JNED", 3, 0x10, {T, R, NS}},
    {"JNEM", 3, 0x11, {T, R, R}},
    {"LOOP", 3, 0x12, {T, NP}},
    {"LOOPM", 3, 0x13, {T, R}},
    {"CALL", 3, 0x14, {NP}},
    {"RET", 3, 0x15, {}},

    {"AND", 4, 0x00, {BIT, BIT}},
    {"OR", 4, 0x02, {BIT, BIT}},
    {"CPL", 4, 0x04, {BIT}},
    {"SETB", 4, 0x06, {BIT}},
    {"CLRB", 4, 0x08, {BIT}},

    {"ADD", 5, 0x00, {MF, NS}},
    {"ADDM", 5, 0x01, {MF, R}},
    {"SUB", 5, 0x02, {MF, NS}},
    {"SUBM", 5, 0x03, {MF, R}},
    {"INC", 5, 0x04, {MF}},
    {"DEC", 5, 0x06, {MF}},
    {"CLR", 5, 0x08, {MF}},
    {"MUL", 5, 0x10, {MF, NS}},
    {"MULM", 5, 0x11, {MF, R}},
    {"DIV", 5, 0x12, {MF, NS}},
    {"DIVM", 5, 0x13, {MF, R}},
    {"FADD", 5, 0x20, {MF, FL}},
    {"FADDM", 5, 0x21, {MF, R}},
    {"FSUB", 5, 0x22, {MF, FL}},
    {"FSUBM", 5, 0x23, {MF, R}},
    {"FMUL", 5, 0x30, {MF, FL}},
    {"FMULM", 5, 0x31, {MF, R}},
    {"FDIV", 5, 0x32, {MF, FL}},
    {"FDIVM", 5, 0x33, {MF, R}},
    {"FATAN", 5, 0x40, {MF, FL}},
    {"FATANM", 5, 0x41, {MF, R}},

    {"MOV", 6, 0x00, {MF, NS}},
    {"MOVM", 6, 0x01, {MF, R}},
    {"SLD", 6, 0x02, {SR, NS}},
    {"SLM", 6, 0x03, {SR, R}},
    {"LP", 6, 0x04, {MF, MF}},
    {"FLP", 6, 0x06, {MF, MF}},
    {"MOVSY", 6, 0x11, {MF, R}},
    {"SYLD", 6, 0x12, {SR, NS}},
    {"SYLM", 6, 0x13, {SR, R}},
    {"FMOV", 6, 0x20, {MF, FL}},
    {"FMOVM", 6, 0x21, {MF, R}},
};
// clang-format on

constexpr std::size_t kRowCount = std::size(kRows);

std::array<InstructionDescriptor, kRowCount> BuildTable() {
    std::array<InstructionDescriptor, kRowCount> table{};
    for (std::size_t i = 0; i < kRowCount; ++i) {
        const Row& row = kRows[i];
        InstructionDescriptor& d = table[i];
        d.mnemonic = row.mnemonic;
        d.group = row.group;
        d.code = row.code;
        d.operandCount = static_cast<std::uint8_t>(row.operands.size());
        std::copy(row.operands.begin(), row.operands.end(), d.operands.begin());
        d.floatOperand2 = std::find(std::begin(kFloatMnemonics), std::end(kFloatMnemonics),
                                    row.mnemonic) != std::end(kFloatMnemonics);
    }
    return table;
}

const std::array<InstructionDescriptor, kRowCount>& Table() {
    static const auto table = BuildTable();
    return table;
}

}  // namespace

std::span<const InstructionDescriptor> InstructionTable() {
    return Table();
}

const InstructionDescriptor* FindInstruction(std::string_view mnemonic) {
    if (mnemonic.empty())
        return nullptr;
    for (const InstructionDescriptor& d : Table()) {
        if (d.mnemonic == mnemonic)
            return &d;
    }
    return nullptr;
}

const InstructionDescriptor* FindInstruction(std::uint8_t group, std::uint8_t code) {
    const InstructionDescriptor* unnamed = nullptr;
    for (const InstructionDescriptor& d : Table()) {
        if (d.group != group || d.code != code)
            continue;
        if (!d.mnemonic.empty())
            return &d;
        unnamed = &d;
    }
    return unnamed;
}

// Indexed by OperandKind.
constexpr std::string_view kAcceptedLetters[] = {"", "S", "MF", "BIOJ", "MFS", "MFS"};
static_assert(std::size(kAcceptedLetters) ==
              static_cast<std::size_t>(OperandKind::NumberOrRegister) + 1);

std::string_view AcceptedLetters(OperandKind kind) {
    return kAcceptedLetters[static_cast<std::size_t>(kind)];
}

int ReferenceOffset(char letter) {
    constexpr std::pair<char, int> kOffsets[] = {{'M', 0},  {'F', 200}, {'S', 1000}, {'B', 0},
                                                 {'I', 16}, {'O', 32},  {'J', 48}};
    for (const auto& [reference, offset] : kOffsets) {
        if (reference == letter)
            return offset;
    }
    return -1;
}

}  // namespace compiler
