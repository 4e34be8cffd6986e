#include <ostream>
#include <string>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "common/FileIo.h"
#include "common/Utf8Path.h"
#include "compiler/CompileRun.h"
#include "compiler/Disassembler.h"
#include "compiler/EncodeLine.h"

namespace cli {
namespace {

// The compile drops the byte before each line feed unexamined, so the lines must end in CR LF.
constexpr std::string_view kLineEnd = "\r\n";

constexpr Grammar kGrammar{{}, 1, msg::Id::CliDisasmExpectsOneObject};

// The header and one record more than a program holds: enough for the disassembler to refuse
// a longer file as having too many records, without reading all of it.
constexpr std::size_t kObjectReadLimit =
    compiler::kObjectHeader.size() + compiler::kRecordSize * (compiler::kMaxCodeLines + 1);

int Disasm(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& path = parsed.positional.front();
    std::string bytes;
    if (fileio::ReadLimited(fileio::PathFromUtf8(path), kObjectReadLimit, bytes) ==
        fileio::ReadStatus::Unreadable)
        return Report(err, msg::Text(msg::Id::CannotReadFile, {path}), exitcode::kUnreadable);
    const compiler::Disassembly disassembly = compiler::Disassemble(bytes);
    if (!disassembly.ok) {
        const std::string refusal = msg::Text(msg::Id::CliDisasmRefused, {path, disassembly.error});
        return Report(err, msg::Text(msg::Id::CliCommandFault, {kDisasmCommand.name, refusal}),
                      exitcode::kLineFault);
    }
    for (const std::string& line : disassembly.lines)
        out << line << kLineEnd;
    return exitcode::kOk;
}

}  // namespace

const Command kDisasmCommand{
    "disasm",        msg::Id::CliDisasmSynopsis, msg::Id::CliDisasmHelp, kGrammar, Disasm,
    FirstWordIsInput};

}  // namespace cli
