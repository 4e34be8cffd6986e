#include "emulator/EmulateRun.h"

#include <charconv>
#include <ostream>
#include <string>

#include "emulator/PtyServer.h"
#include "emulator/TransferStore.h"

namespace emu {

namespace {

const char* KindName(TransferKind kind) {
    switch (kind) {
        case TransferKind::Program:
            return "program";
        case TransferKind::Parameters:
            return "parameters";
        case TransferKind::Screen:
            break;
    }
    return "screen";
}

std::string Describe(const Transfer& t) {
    switch (t.kind) {
        case TransferKind::Program:
            return "program " + std::to_string(t.ProgramNumber()) + ", " +
                   std::to_string(t.ObjectRecords().size() / 24) + " records";
        case TransferKind::Parameters:
            return "parameter page " + std::to_string(t.PageNumber()) + ", " +
                   std::to_string(t.RegisterValues().size()) + " registers";
        case TransferKind::Screen:
            break;
    }
    return "screen kind " + std::to_string(t.ScreenKind()) + " number " +
           std::to_string(t.ScreenNumber()) + ", " + std::to_string(t.data.size()) + " bytes";
}

}  // namespace

std::optional<int> ParseCount(std::string_view text, int least) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < least)
        return {};
    return value;
}

std::optional<std::vector<std::uint8_t>> ParseByteList(std::string_view text) {
    std::vector<std::uint8_t> bytes;
    while (!text.empty()) {
        const std::size_t comma = text.find(',');
        const auto value = ParseCount(text.substr(0, comma), 0);
        if (!value || *value > 255)
            return {};
        bytes.push_back(static_cast<std::uint8_t>(*value));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
        if (text.empty())
            return {};
    }
    if (bytes.empty())
        return {};
    return bytes;
}

int ServeUntilSignalled(const EmulateOptions& options, std::ostream& out, std::ostream& err) {
    VirtualController controller(options.faults);
    PtyServer server(controller);
    std::string error;
    if (!server.Open(error)) {
        err << "tarvex emulate: " << error << "\n";
        return 1;
    }
    controller.onCompleted = [&](const Transfer& t) {
        out << KindName(t.kind) << ": " << Describe(t);
        if (options.storeFolder) {
            const auto written = StoreTransfer(*options.storeFolder, t);
            if (written.empty()) {
                err << "tarvex emulate: cannot write into " << options.storeFolder->string()
                    << "\n";
            } else {
                out << " -> " << written.string();
            }
        }
        out << std::endl;
    };
    server.HangUpAfterFrames(options.hangUpAfterFrames);
    server.StopOnSignals();
    out << server.DevicePath() << std::endl;
    server.Serve();
    return 0;
}

}  // namespace emu
