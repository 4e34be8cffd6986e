#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "cli/CommandLine.h"
#include "common/Messages.h"

namespace cli {

// The most the program editor holds; a longer text could never have been written there.
constexpr std::size_t kProgramCapacity = 1'048'575;

struct Command {
    std::string_view name;
    msg::Id synopsis;  // one line, shown in the overall usage
    msg::Id help;      // the full text of `tarvex help NAME`
    Grammar grammar;
    // Runs on words the grammar accepted.
    int (*act)(const ParsedArgs& words, std::ostream& out, std::ostream& err);
};

// Reads the words after the command's name by its grammar and runs it. Help asked for, an option
// fault or a wrong number of words are answered here.
int RunCommand(const Command& command, Args args, std::ostream& out, std::ostream& err);

// "tarvex NAME: PROBLEM" and the command's help on `err`; the usage exit status.
int Usage(const Command& command, std::string_view problem, std::ostream& err);

// Reads a program file into `text`; when it cannot, says why on `faults` and gives the exit status.
std::optional<int> ReadProgramText(const std::string& program, std::string& text,
                                   std::ostream& faults);
// A warning on `err` when the program text looks like UTF-8, which the compile reads as GBK.
void WarnIfNotGbk(const std::string& program, std::string_view text, std::ostream& err);

int RunRegisters(Args args, std::ostream& out, std::ostream& err);

extern const Command kCheckCommand;
extern const Command kPortsCommand;
extern const Command kCompileCommand;
extern const Command kDisasmCommand;
extern const Command kEmulateCommand;
extern const Command kRegistersCommand;
extern const Command kDownloadCommand;
extern const Command kScreenCommand;

}  // namespace cli
