#include <algorithm>
#include <ostream>
#include <string>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "compiler/CodePlaces.h"
#include "compiler/ProgramCheck.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {{"--json", "", false}, {"--format", "", true}};
constexpr Grammar kGrammar{kOptions, 1, msg::Id::CliCheckExpectsOneProgram};

QJsonObject JsonFinding(int line, int codeLine, int code, const std::string& message) {
    return QJsonObject{{"line", line},
                       {"codeLine", codeLine},
                       {"code", code},
                       {"message", QString::fromStdString(message)}};
}

// FILE:LINE:COLUMN: error: MESSAGE, the column of the faulty piece counted in characters; what
// editors' and CI's gcc problem matchers read.
void PrintGcc(const std::string& program, std::string_view text,
              const compiler::CheckReport& report, std::ostream& out) {
    const std::vector<std::string_view> lines = compiler::EditorLines(text);
    for (const compiler::Finding& f : report.findings) {
        const std::string_view line = lines[static_cast<std::size_t>(f.editorLine - 1)];
        std::size_t column = 1;
        if (!compiler::IsLineFault(f.code))
            column += compiler::CharactersBefore(line, compiler::LocateFault(line, f.code).begin);
        out << msg::Text(msg::Id::CliCheckGccError,
                         {program, std::to_string(f.editorLine), std::to_string(column), f.message})
            << "\n";
    }
    if (!report.endReached) {
        out << msg::Text(msg::Id::CliCheckGccWarning,
                         {program, std::to_string(std::max<std::size_t>(lines.size(), 1)),
                          msg::Text(msg::Id::CompileMissingEnd)})
            << "\n";
    }
}

int Check(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& program = parsed.positional.front();
    const std::optional<std::string> format = parsed.Value("--format");
    if (format && *format != "gcc")
        return Usage(kCheckCommand, msg::Text(msg::Id::CliCheckUnknownFormat, {*format}), err);
    std::string text;
    if (const auto fault = ReadProgramText(program, text, err))
        return *fault;
    WarnIfNotGbk(program, text, err);
    const compiler::CheckReport report = compiler::CheckProgram(text);
    const std::string missingEnd = msg::Text(msg::Id::CompileMissingEnd);

    if (format) {
        PrintGcc(program, text, report, out);
    } else if (parsed.Has("--json")) {
        QJsonArray findings;
        for (const compiler::Finding& f : report.findings)
            findings.append(JsonFinding(f.editorLine, f.codeLine, f.code, f.message));
        if (!report.endReached)
            findings.append(JsonFinding(0, 0, 0, missingEnd));
        out << QJsonDocument(findings).toJson(QJsonDocument::Compact).toStdString() << "\n";
    } else {
        for (const compiler::Finding& f : report.findings) {
            out << msg::Text(msg::Id::CliCompileLineFault,
                             {program, std::to_string(f.editorLine), f.message})
                << "\n";
        }
        if (!report.endReached)
            out << msg::Text(msg::Id::CliCheckMissingEnd, {program, missingEnd}) << "\n";
    }
    if (!report.findings.empty())
        return exitcode::kLineFault;
    return report.endReached ? exitcode::kOk : exitcode::kMissingEnd;
}

}  // namespace

const Command kCheckCommand{"check", msg::Id::CliCheckSynopsis, msg::Id::CliCheckHelp, kGrammar,
                            Check,   FirstWordIsInput};

}  // namespace cli
