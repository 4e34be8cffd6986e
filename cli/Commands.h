#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "cli/CommandLine.h"
#include "common/FileRoles.h"
#include "common/Messages.h"
#include "compiler/CompileRun.h"

namespace cli {

using compiler::kProgramCapacity;

struct Command {
    std::string_view name;
    msg::Id synopsis;  // one line, shown in the overall usage
    msg::Id help;      // the full text of `tarvex help NAME`
    Grammar grammar;
    // Runs on words the grammar accepted.
    int (*act)(const ParsedArgs& words, std::ostream& out, std::ostream& err);
    // The files these words make the command read and write. Before `act` runs, an output that
    // is one of the inputs is refused ("输出文件与输入文件相同：%1", exit 64): the command need not
    // check it again. Null for a command that names no files.
    fileio::FileRoles (*files)(const ParsedArgs& words) = nullptr;
};

// The files of a command that reads the one file its first word names and writes none.
fileio::FileRoles FirstWordIsInput(const ParsedArgs& words);

// Reads the words after the command's name by its grammar and runs it. Help asked for, an option
// fault or a wrong number of words are answered here.
int RunCommand(const Command& command, Args args, std::ostream& out, std::ostream& err);

// The output these words would write over one of their inputs, as the words name it.
std::optional<std::string> OutputOverInput(const Command& command, const ParsedArgs& words);

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
extern const Command kJobCommand;
extern const Command kLedgerCommand;
extern const Command kLspCommand;
extern const Command kSyntaxCommand;
extern const Command kTraceCommand;

}  // namespace cli
