#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/Messages.h"
#include "common/FileIo.h"
#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"

namespace cli {
namespace {

constexpr OptionSpec kOptions[] = {{"--output", "-o", true}};

constexpr std::string_view kHelp =
    "usage: tarvex compile PROGRAM.kxc [-o OBJECT.kxo]\n"
    "\n"
    "Compiles a program text (GBK, CR LF, read unchanged) into an object program.\n"
    "Without -o the object file is PROGRAM with the extension .kxo.\n"
    "Prints the compile dialog's message on stdout; for a refused line also\n"
    "PROGRAM.kxc:LINE: MESSAGE on stderr, LINE being the line in the text file.\n"
    "\n"
    "exit status: 0 compiled, 1 a line was refused (or too many lines),\n"
    "2 no END, 3 object file not created or not written, 4 program unreadable,\n"
    "64 bad command line.\n";

int ExitCodeFor(compiler::CompileOutcome outcome) {
    using compiler::CompileOutcome;
    switch (outcome) {
        case CompileOutcome::Compiled:
            return exitcode::kOk;
        case CompileOutcome::LineFault:
        case CompileOutcome::TooManyLines:
            return exitcode::kLineFault;
        case CompileOutcome::MissingEnd:
            return exitcode::kMissingEnd;
        case CompileOutcome::CannotCreate:
        case CompileOutcome::WriteFailed:
            return exitcode::kCannotCreate;
    }
    return exitcode::kLineFault;
}

bool PointsAtLine(compiler::CompileOutcome outcome) {
    return outcome == compiler::CompileOutcome::LineFault ||
           outcome == compiler::CompileOutcome::TooManyLines;
}

std::string DefaultObjectPath(const std::string& program) {
    return std::filesystem::path(program).replace_extension(".kxo").string();
}

}  // namespace

int RunCompile(Args args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = ParseArguments(args, kOptions);
    if (parsed.help) {
        out << kHelp;
        return exitcode::kOk;
    }
    if (!parsed.error.empty() || parsed.positional.size() != 1) {
        err << "tarvex compile: "
            << (parsed.error.empty() ? "expected one program file" : parsed.error) << "\n"
            << kHelp;
        return exitcode::kUsage;
    }
    const std::string& program = parsed.positional.front();
    const std::optional<std::string> given = parsed.Value("--output");
    const std::string object = given.value_or(DefaultObjectPath(program));
    if (!given && object == program) {
        // The default would overwrite the program itself.
        err << "tarvex compile: " << program << " already ends in .kxo; name the object with -o\n";
        return exitcode::kUsage;
    }

    std::string text;
    if (!fileio::ReadWholeFile(program, text)) {
        out << UnreadableMessage(program) << "\n";
        return exitcode::kUnreadable;
    }
    const compiler::CompileResult result = compiler::CompileToFile(text, object);
    const std::string message = compiler::CompileMessage(result, object);
    out << message << "\n";
    if (PointsAtLine(result.outcome)) {
        err << program << ":" << result.editorLine << ": " << message << "\n";
    }
    return ExitCodeFor(result.outcome);
}

const Command kCompileCommand{
    "compile", "compile PROGRAM.kxc [-o OBJECT.kxo]   compile a program text", kHelp, RunCompile};

}  // namespace cli
