#include <ostream>
#include <string>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/Messages.h"
#include "common/FileIo.h"
#include "compiler/Disassembler.h"

namespace cli {
namespace {

constexpr std::string_view kHelp =
    "usage: tarvex disasm OBJECT.kxo\n"
    "\n"
    "Prints the object program as program text, one line per record, with CR LF line\n"
    "ends as the editor writes them: compiling the output gives the same file byte\n"
    "for byte.\n"
    "\n"
    "exit status: 0 printed, 1 not an object program that program text can express,\n"
    "4 file unreadable, 64 bad command line.\n";

// The compile drops the byte before each line feed unexamined, so the lines must end in CR LF.
constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

int RunDisasm(Args args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = ParseArguments(args, {});
    if (parsed.help) {
        out << kHelp;
        return exitcode::kOk;
    }
    if (!parsed.error.empty() || parsed.positional.size() != 1) {
        err << "tarvex disasm: "
            << (parsed.error.empty() ? "expected one object file" : parsed.error) << "\n"
            << kHelp;
        return exitcode::kUsage;
    }
    const std::string& path = parsed.positional.front();
    std::string bytes;
    if (!fileio::ReadWholeFile(path, bytes)) {
        err << UnreadableMessage(path) << "\n";
        return exitcode::kUnreadable;
    }
    const compiler::Disassembly disassembly = compiler::Disassemble(bytes);
    if (!disassembly.ok) {
        err << "tarvex disasm: " << path << ": " << disassembly.error << "\n";
        return exitcode::kLineFault;
    }
    for (const std::string& line : disassembly.lines)
        out << line << kLineEnd;
    return exitcode::kOk;
}

const Command kDisasmCommand{
    "disasm", "disasm OBJECT.kxo                     print an object program as program text",
    kHelp, RunDisasm};

}  // namespace cli
