#pragma once

#include <string>

#include "compiler/InstructionTable.h"

namespace compiler {

// One line telling what a mnemonic takes: its operands' kinds and ranges in order (UTF-8), for
// example "JLD：目标行 0–2000，寄存器 M/F/S 0–3000，数字 -99999999–99999999".
std::string OperandHint(const InstructionDescriptor& instruction);

}  // namespace compiler
