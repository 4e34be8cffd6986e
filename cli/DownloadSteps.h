#pragma once

#include <cstddef>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>

#include "cli/CommandLine.h"
#include "downloads/DownloadRecord.h"
#include "link/DownloadSource.h"

// `tarvex download` in its steps: the words checked, the file prepared as its dialog prepares it,
// then one port's session and transfer, or a process per port when several are named.
namespace cli {

struct Download {
    std::unique_ptr<ctrl::DownloadSource> source;
    const ctrl::TransferProfile* profile = nullptr;
    int total = 0;
    ctrl::DownloadRecord record;
};

struct Refusal {
    std::string message;
    int status;
};

// What is wrong with the words (kind, port, option values), empty when nothing is.
std::string UsageFault(const ParsedArgs& args);

// Opens and checks the file the words name, as the kind's dialog would.
std::optional<Refusal> Prepare(const ParsedArgs& args, Download& download);

// One port's whole download; its exit status.
int SendFile(const ParsedArgs& args, std::ostream& out, std::ostream& err);

// The words for one port out of several: that port, and a trace of its own (FILE.1, FILE.2 ...).
ParsedArgs ForOnePort(const ParsedArgs& args, std::size_t index);

// The same file to every port named; the worst exit status.
int SendToEachPort(const ParsedArgs& args, std::ostream& out, std::ostream& err);

}  // namespace cli
