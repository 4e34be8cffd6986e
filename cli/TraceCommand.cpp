#include <ostream>
#include <string>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "common/FileIo.h"
#include "wire/WireExport.h"

namespace cli {
namespace {

// A trace holds at most a session's lines; far more than any session writes.
constexpr std::size_t kTraceLimit = 256u * 1024 * 1024;

constexpr OptionRule kOptions[] = {{"--pcap", "", true}, {"--csv", "", true}};
constexpr Grammar kGrammar{kOptions, 2, msg::Id::CliTraceExpectsExport};

struct Output {
    std::string_view option;
    std::string (*convert)(const std::vector<wire::Line>&);
};
constexpr Output kOutputs[] = {{"--pcap", wire::ToPcap}, {"--csv", wire::ToCsv}};

std::optional<int> ReadTraceFile(const std::string& path, wire::TraceReading& reading,
                                 std::ostream& err) {
    std::string text;
    if (fileio::ReadLimited(path, kTraceLimit, text) != fileio::ReadStatus::Ok)
        return Report(err, msg::Text(msg::Id::CannotReadFile, {path}), exitcode::kUnreadable);
    reading = wire::ReadTrace(text);
    if (reading.faultyLines.empty())
        return std::nullopt;
    for (const std::size_t line : reading.faultyLines)
        err << msg::Text(msg::Id::CliTraceNotATraceLine, {path, std::to_string(line)}) << "\n";
    return exitcode::kRefused;
}

int Export(const ParsedArgs& parsed, std::ostream&, std::ostream& err) {
    if (parsed.positional.front() != "export")
        return Usage(kTraceCommand, msg::Source(msg::Id::CliTraceExpectsExport), err);
    const std::string& trace = parsed.positional[1];
    bool any = false;
    for (const Output& o : kOutputs) {
        const auto path = parsed.Value(o.option);
        any = any || path.has_value();
    }
    if (!any)
        return Usage(kTraceCommand, msg::Source(msg::Id::CliTraceExpectsExport), err);
    wire::TraceReading reading;
    if (const auto fault = ReadTraceFile(trace, reading, err))
        return *fault;
    for (const Output& o : kOutputs) {
        const auto path = parsed.Value(o.option);
        if (!path)
            continue;
        if (const std::error_code e = fileio::WriteSafely(*path, o.convert(reading.lines)))
            return Report(err, msg::Text(msg::Id::CannotWriteFile, {*path}),
                          exitcode::kCannotCreate);
    }
    return exitcode::kOk;
}

fileio::FileRoles Files(const ParsedArgs& parsed) {
    fileio::FileRoles roles;
    if (parsed.positional.size() > 1)
        roles.In(parsed.positional[1]);
    for (const Output& o : kOutputs)
        roles.Out(parsed.Value(o.option).value_or(""));
    return roles;
}

}  // namespace

const Command kTraceCommand{
    "trace", msg::Id::CliTraceSynopsis, msg::Id::CliTraceHelp, kGrammar, Export, Files};

}  // namespace cli
