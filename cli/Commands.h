#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

#include "common/Messages.h"

namespace cli {

// The words after the subcommand's name.
using Args = std::span<const std::string_view>;

using CommandRun = int (*)(Args args, std::ostream& out, std::ostream& err);

struct Command {
    std::string_view name;
    msg::Id synopsis;  // one line, shown in the overall usage
    msg::Id help;      // the full text of `tarvex help NAME`
    CommandRun run;
};

int RunCompile(Args args, std::ostream& out, std::ostream& err);
int RunDisasm(Args args, std::ostream& out, std::ostream& err);
int RunEmulate(Args args, std::ostream& out, std::ostream& err);
int RunRegisters(Args args, std::ostream& out, std::ostream& err);
int RunDownload(Args args, std::ostream& out, std::ostream& err);
int RunScreen(Args args, std::ostream& out, std::ostream& err);

extern const Command kCompileCommand;
extern const Command kDisasmCommand;
extern const Command kEmulateCommand;
extern const Command kRegistersCommand;
extern const Command kDownloadCommand;
extern const Command kScreenCommand;

}  // namespace cli
