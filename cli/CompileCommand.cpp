#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "common/FileIo.h"
#include "common/Utf8Path.h"
#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {{"--output", "-o", true}};
constexpr Grammar kGrammar{kOptions, 1, msg::Id::CliCompileExpectsOneProgram};

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
    return fileio::PathFromUtf8(program).replace_extension(".kxo").string();
}

int Compile(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& program = parsed.positional.front();
    const std::optional<std::string> given = parsed.Value("--output");
    const std::string object = given.value_or(DefaultObjectPath(program));
    if (!given && object == program) {
        // The default would overwrite the program itself.
        const std::string problem = msg::Text(msg::Id::CliCompileWouldOverwrite, {program});
        return Report(err, msg::Text(msg::Id::CliCommandFault, {kCompileCommand.name, problem}),
                      exitcode::kUsage);
    }

    std::string text;
    if (const auto fault = ReadProgramText(program, text, out))
        return *fault;
    WarnIfNotGbk(program, text, err);
    const compiler::CompileResult result =
        compiler::CompileToFile(text, fileio::PathFromUtf8(object));
    const std::string message = compiler::CompileMessage(result, object);
    out << message << "\n";
    if (PointsAtLine(result.outcome)) {
        err << msg::Text(msg::Id::CliCompileLineFault,
                         {program, std::to_string(result.editorLine), message})
            << "\n";
    }
    return ExitCodeFor(result.outcome);
}

fileio::FileRoles Files(const ParsedArgs& parsed) {
    const std::string& program = parsed.positional.front();
    const std::optional<std::string> given = parsed.Value("--output");
    const std::string object = given.value_or(DefaultObjectPath(program));
    // A default that names the program itself is refused by the command, in its own words.
    return fileio::FileRoles().In(program).Out(!given && object == program ? std::string()
                                                                           : object);
}

}  // namespace

const Command kCompileCommand{
    "compile", msg::Id::CliCompileSynopsis, msg::Id::CliCompileHelp, kGrammar, Compile, Files};

}  // namespace cli
