#include <ostream>
#include <string>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "compiler/ProgramCheck.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {{"--json", "", false}};
constexpr Grammar kGrammar{kOptions, 1, msg::Id::CliCheckExpectsOneProgram};

QJsonObject JsonFinding(int line, int codeLine, int code, const std::string& message) {
    return QJsonObject{{"line", line},
                       {"codeLine", codeLine},
                       {"code", code},
                       {"message", QString::fromStdString(message)}};
}

int Check(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    const std::string& program = parsed.positional.front();
    std::string text;
    if (const auto fault = ReadProgramText(program, text, err))
        return *fault;
    WarnIfNotGbk(program, text, err);
    const compiler::CheckReport report = compiler::CheckProgram(text);
    const std::string missingEnd = msg::Text(msg::Id::CompileMissingEnd);

    if (parsed.Has("--json")) {
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
                            Check};

}  // namespace cli
