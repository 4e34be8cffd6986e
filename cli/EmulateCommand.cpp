#include <ostream>
#include <string>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "emulator/EmulateRun.h"
#include "emulator/Replay.h"
#include "emulator/UnitLine.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {
    {"--store", "", true},        {"--silent", "", false},       {"--handshake-first", "", true},
    {"--resend-every", "", true}, {"--delay", "", true},         {"--stop-after", "", true},
    {"--noise", "", true},        {"--hang-up-after", "", true}, {"--line-rate", "", true},
    {"--replay", "", true},       {"--units", "", true},         {"--swap", "", true},
    {"--faulty-unit", "", true},
};

// Fills `options` from the parsed words; the text of the first fault otherwise.
std::string TakeOptions(const ParsedArgs& parsed, emu::EmulateOptions& options) {
    if (!parsed.positional.empty())
        return msg::Text(msg::Id::CliUnexpectedArgument, {parsed.positional.front()});
    emu::Faults& faults = options.faults;
    if (const auto dir = parsed.Value("--store")) {
        // Checked before serving, so that nothing is acknowledged that cannot be kept.
        if (!emu::IsWritableFolder(*dir))
            return msg::Text(msg::Id::EmulatorStoreNotFolder, {*dir});
        options.storeFolder = *dir;
    }
    faults.neverAnswer = parsed.Has("--silent");
    const struct {
        const char* name;
        int least;
        int* target;
    } counts[] = {{"--resend-every", 1, &faults.resendEvery},
                  {"--delay", 0, &faults.answerDelayMs},
                  {"--stop-after", 0, &faults.stopAfterFrames},
                  {"--hang-up-after", 0, &options.hangUpAfterFrames},
                  {"--line-rate", 1, &options.lineRate},
                  {"--units", 1, &options.units},
                  {"--swap", 0, &options.swapMs},
                  {"--faulty-unit", 1, &options.faultyUnit}};
    for (const auto& count : counts) {
        const auto text = parsed.Value(count.name);
        if (!text)
            continue;
        const auto value = emu::ParseCount(*text, count.least);
        if (!value)
            return msg::Text(msg::Id::CliNeedsWholeNumber, {count.name, *text});
        *count.target = *value;
    }
    if (options.swapMs < emu::UnitLine::kLeastSwapMs)
        return msg::Text(msg::Id::EmulatorSwapTooShort,
                         {std::to_string(emu::UnitLine::kLeastSwapMs)});
    const struct {
        const char* name;
        std::vector<std::uint8_t>* target;
    } lists[] = {{"--handshake-first", &faults.handshakePrefix}, {"--noise", &faults.noise}};
    for (const auto& list : lists) {
        const auto text = parsed.Value(list.name);
        if (!text)
            continue;
        const auto bytes = emu::ParseByteList(*text);
        if (!bytes)
            return msg::Text(msg::Id::CliNeedsBytes, {list.name, *text});
        *list.target = *bytes;
    }
    return {};
}

// --replay FILE: the controller of a trace, with none of the fault options beside it.
int Replay(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    if (!parsed.positional.empty())
        return Usage(kEmulateCommand,
                     msg::Text(msg::Id::CliUnexpectedArgument, {parsed.positional.front()}), err);
    if (parsed.values.size() > 1)
        return Usage(kEmulateCommand, msg::Text(msg::Id::CliReplayAlone), err);
    return emu::ServeReplayUntilSignalled(*parsed.Value("--replay"), out, err);
}

int Emulate(const ParsedArgs& parsed, std::ostream& out, std::ostream& err) {
    if (parsed.Has("--replay"))
        return Replay(parsed, out, err);
    emu::EmulateOptions options;
    if (const std::string fault = TakeOptions(parsed, options); !fault.empty())
        return Usage(kEmulateCommand, fault, err);
    return emu::ServeUntilSignalled(options, out, err);
}

fileio::FileRoles Files(const ParsedArgs& parsed) {
    return fileio::FileRoles().In(parsed.Value("--replay").value_or(""));
}

}  // namespace

const Command kEmulateCommand{
    "emulate", msg::Id::CliEmulateSynopsis, msg::Id::CliEmulateHelp, {kOptions}, Emulate, Files};

}  // namespace cli
