#include "emulator/EmulateRun.h"

#if defined(_WIN32)
#include <io.h>
#else
#include <unistd.h>
#endif

#include <charconv>
#include <ostream>
#include <string>

#include "common/Messages.h"
#include "emulator/ServeLine.h"
#include "emulator/TransferStore.h"
#include "emulator/UnitLine.h"

namespace emu {

namespace {

// The line that tells a completed transfer, as scripts read it.
std::string Describe(const Transfer& t) {
    auto n = [](auto value) { return std::to_string(value); };
    switch (t.kind) {
        case TransferKind::Program:
            return msg::Text(msg::Id::EmulatorStoredProgram,
                             {n(t.ProgramNumber()), n(t.ObjectRecords().size() / 24)});
        case TransferKind::Parameters:
            return msg::Text(msg::Id::EmulatorStoredParameters,
                             {n(t.PageNumber()), n(t.RegisterValues().size())});
        case TransferKind::Screen:
            break;
    }
    return msg::Text(msg::Id::EmulatorStoredScreen,
                     {n(t.ScreenKind()), n(t.ScreenNumber()), n(t.data.size())});
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

bool IsWritableFolder(const std::filesystem::path& folder) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(folder, ignored))
        return false;
#if defined(_WIN32)
    return ::_waccess(folder.c_str(), 2) == 0;
#else
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
#endif
}

std::filesystem::path UnitFolder(const std::filesystem::path& folder, int unit) {
    std::string name = std::to_string(unit);
    name.insert(0, name.size() < 3 ? 3 - name.size() : 0, '0');
    return folder / ("unit-" + name);
}

namespace {

int ServeUnits(const EmulateOptions& options, std::ostream& out, std::ostream& err) {
    UnitLine line(options.units, std::chrono::milliseconds(options.swapMs), options.faults,
                  options.faultyUnit);
    const auto folderOf = [&](int unit) { return UnitFolder(*options.storeFolder, unit); };
    line.canKeepUnit = [&](int unit) {
        if (!options.storeFolder)
            return true;
        std::error_code ignored;
        std::filesystem::create_directories(folderOf(unit), ignored);
        if (IsWritableFolder(folderOf(unit)))
            return true;
        err << msg::Text(msg::Id::EmulatorCannotStore, {folderOf(unit).string()}) << "\n";
        return false;
    };
    line.onUnitCompleted = [&](int unit, const Transfer& t) {
        out << "unit " << unit << ": " << Describe(t);
        if (options.storeFolder) {
            const auto written = StoreTransfer(folderOf(unit), t);
            if (written.empty())
                err << msg::Text(msg::Id::EmulatorCannotStore, {folderOf(unit).string()}) << "\n";
            else
                out << " -> " << written.string();
        }
        out << std::endl;
    };
    return ServeOnNewLine(line, {options.hangUpAfterFrames, options.lineRate}, out, err) ? 0 : 1;
}

}  // namespace

int ServeUntilSignalled(const EmulateOptions& options, std::ostream& out, std::ostream& err) {
    if (options.units > 0)
        return ServeUnits(options, out, err);
    VirtualController controller(options.faults);
    const auto cannotStore = [&] {
        err << msg::Text(msg::Id::EmulatorCannotStore, {options.storeFolder->string()}) << "\n";
    };
    // A transfer that cannot be kept is not acknowledged: the controller fails instead.
    controller.canKeep = [&] {
        if (!options.storeFolder || IsWritableFolder(*options.storeFolder))
            return true;
        cannotStore();
        return false;
    };
    controller.onRefused = [&](Refusal why) {
        err << msg::Text(why == Refusal::DataWithoutHeader ? msg::Id::EmulatorRefusedNoHeader
                                                           : msg::Id::EmulatorRefusedPartialRecord)
            << std::endl;
    };
    controller.onCompleted = [&](const Transfer& t) {
        out << Describe(t);
        if (options.storeFolder) {
            const auto written = StoreTransfer(*options.storeFolder, t);
            if (written.empty()) {
                cannotStore();
                controller.Fail();
            } else {
                out << " -> " << written.string();
            }
        }
        out << std::endl;
    };
    return ServeOnNewLine(controller, {options.hangUpAfterFrames, options.lineRate}, out, err) ? 0
                                                                                               : 1;
}

}  // namespace emu
