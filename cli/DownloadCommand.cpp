#include <string>

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/DownloadSteps.h"
#include "common/PortName.h"
#include "downloads/DownloadRecord.h"
#include "downloads/ScratchPath.h"
#include "link/PortList.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {
    {"--port", "", true},    {"--baud", "", true},   {"--number", "", true},
    {"--page", "", true},    {"--kind", "", true},   {"--registers", "", true},
    {"--scratch", "", true}, {"--force", "", false}, {"--fast", "", false},
    {"--trace", "", true},
};
constexpr Grammar kGrammar{kOptions, 2, msg::Id::CliDownloadExpectsKindAndFile};

// One port, or the same file to several at once; every port is checked before any is opened.
int SendToPorts(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    const auto many = args.repeated.find("--port");
    if (many == args.repeated.end())
        return SendFile(args, out, err);
    for (const std::string& port : many->second) {
        ctrl::UsbIdentity usb;
        if (!text::NamesPort(port) && !ctrl::ParseUsbPortName(QString::fromStdString(port), usb))
            return Usage(kDownloadCommand, msg::Text(msg::Id::CliDownloadBadPort, {port}), err);
    }
    if (const std::string fault = UsageFault(args); !fault.empty())
        return Usage(kDownloadCommand, fault, err);
    return SendToEachPort(args, out, err);
}

// The file sent; the screen's scratch file, every trace (one per port when there are several) and
// the ledger are written.
fileio::FileRoles Files(const ParsedArgs& args) {
    EnsureApplication();
    fileio::FileRoles roles;
    roles.In(args.positional[1]).Out(ctrl::DefaultLedgerPath().toStdString());
    if (args.positional[0] == "screen")
        roles.Out(args.Value("--scratch").value_or(ctrl::DefaultScratchPath().toStdString()));
    const auto trace = args.Value("--trace");
    const auto ports = args.repeated.find("--port");
    if (trace && ports != args.repeated.end()) {
        for (std::size_t i = 0; i < ports->second.size(); ++i)
            roles.Out(ForOnePort(args, i).values.at("--trace"));
    } else if (trace) {
        roles.Out(*trace);
    }
    return roles;
}

}  // namespace

const Command kDownloadCommand{
    "download", msg::Id::CliDownloadSynopsis, msg::Id::CliDownloadHelp, kGrammar, SendToPorts,
    Files};

}  // namespace cli
