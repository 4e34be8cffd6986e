#include <ostream>
#include <string>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "emulator/EmulateRun.h"

namespace cli {
namespace {

constexpr OptionSpec kOptions[] = {
    {"--store", "", true},        {"--silent", "", false},       {"--handshake-first", "", true},
    {"--resend-every", "", true}, {"--delay", "", true},         {"--stop-after", "", true},
    {"--noise", "", true},        {"--hang-up-after", "", true},
};

constexpr std::string_view kHelp =
    "usage: tarvex emulate [--store DIR] [FAULT OPTIONS]\n"
    "\n"
    "Serves a virtual controller on a new pseudo-terminal until SIGINT or SIGTERM.\n"
    "The first line of output is the device to open (for example /dev/pts/3), at any\n"
    "baud rate; then one line per completed transfer. It answers the handshake 1 with\n"
    "1 and every start, header and data frame with its command byte.\n"
    "\n"
    "  --store DIR            write each completed transfer into DIR: programs as\n"
    "                         program-NNN.kxo, parameter pages as register files\n"
    "                         parameters-page-NNN.dat, screens as PBM pictures\n"
    "                         screen-KIND-NNN.pbm\n"
    "  --silent               never answer\n"
    "  --handshake-first B,.. answer the handshake with these bytes before its 1\n"
    "  --resend-every K       ask for a resend (90) of every K-th header or data frame\n"
    "  --delay MS             answer MS milliseconds late\n"
    "  --stop-after N         go silent after answering N frames\n"
    "  --noise B,..           send these bytes ahead of every answer\n"
    "  --hang-up-after N      close the line after N frames, as a pulled cable would\n"
    "\n"
    "exit status: 0 stopped by a signal, 1 no pseudo-terminal, 64 bad command line.\n";

// Fills `options` from the parsed words; the text of the first fault otherwise.
std::string TakeOptions(const ParsedArgs& parsed, emu::EmulateOptions& options) {
    if (!parsed.positional.empty())
        return "unexpected argument " + parsed.positional.front();
    emu::Faults& faults = options.faults;
    if (const auto dir = parsed.Value("--store"))
        options.storeFolder = *dir;
    faults.neverAnswer = parsed.Has("--silent");
    const struct {
        const char* name;
        int least;
        int* target;
    } counts[] = {{"--resend-every", 1, &faults.resendEvery},
                  {"--delay", 0, &faults.answerDelayMs},
                  {"--stop-after", 0, &faults.stopAfterFrames},
                  {"--hang-up-after", 0, &options.hangUpAfterFrames}};
    for (const auto& count : counts) {
        const auto text = parsed.Value(count.name);
        if (!text)
            continue;
        const auto value = emu::ParseCount(*text, count.least);
        if (!value)
            return std::string(count.name) + " needs a whole number, not " + *text;
        *count.target = *value;
    }
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
            return std::string(list.name) + " needs bytes such as 7,200, not " + *text;
        *list.target = *bytes;
    }
    return {};
}

}  // namespace

int RunEmulate(Args args, std::ostream& out, std::ostream& err) {
    const ParsedArgs parsed = ParseArguments(args, kOptions);
    if (parsed.help) {
        out << kHelp;
        return exitcode::kOk;
    }
    emu::EmulateOptions options;
    std::string fault = parsed.error;
    if (fault.empty())
        fault = TakeOptions(parsed, options);
    if (!fault.empty()) {
        err << "tarvex emulate: " << fault << "\n" << kHelp;
        return exitcode::kUsage;
    }
    return emu::ServeUntilSignalled(options, out, err);
}

const Command kEmulateCommand{
    "emulate", "emulate [--store DIR] [FAULTS...]     serve a virtual controller on a new pty",
    kHelp, RunEmulate};

}  // namespace cli
