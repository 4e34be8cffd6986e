#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "cli/DownloadSteps.h"
#include "cli/ExitCodes.h"
#include "common/DecimalValue.h"
#include "common/FileIo.h"
#include "common/PortName.h"
#include "common/Utf8Path.h"
#include "downloads/DownloadMessages.h"
#include "downloads/ParameterSource.h"
#include "downloads/ProgramSource.h"
#include "downloads/ScratchPath.h"
#include "downloads/ScreenSource.h"
#include "link/PortList.h"
#include "screen/ScreenImage.h"

namespace cli {
namespace {

std::optional<ctrl::ScreenKind> KindNamed(const std::string& name) {
    if (name == "startup")
        return ctrl::ScreenKind::Startup;
    if (name == "parameter")
        return ctrl::ScreenKind::Parameter;
    if (name == "status")
        return ctrl::ScreenKind::Status;
    return std::nullopt;
}

// "A,B,C,D" as four texts; nothing when there are not four.
std::optional<std::array<std::string, 4>> FourTexts(const std::string& list) {
    std::array<std::string, 4> texts;
    std::size_t from = 0;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::size_t comma = list.find(',', from);
        if ((comma == std::string::npos) != (i == texts.size() - 1))
            return std::nullopt;
        texts[i] = list.substr(from, comma == std::string::npos ? std::string::npos : comma - from);
        from = comma + 1;
    }
    return texts;
}

std::optional<Refusal> OpenFailure(ctrl::SourceOpen result, const std::string& path) {
    switch (result) {
        case ctrl::SourceOpen::CannotOpen:
            return Refusal{ctrl::CannotOpenMessage(path), exitcode::kUnreadable};
        case ctrl::SourceOpen::BadFormat:
            return Refusal{std::string(ctrl::kFileFormatMessage), exitcode::kRefused};
        case ctrl::SourceOpen::Opened:
            break;
    }
    return std::nullopt;
}

// Numbers an opened source as its dialog does; how many packets it makes.
int Numbered(ctrl::ProgramSource& source, std::int32_t number) {
    source.programNumber = number;
    return source.PacketCount();
}

int Numbered(ctrl::ParameterSource& source, std::int32_t number) {
    source.pageNumber = number;
    return ctrl::ParameterSource::kPacketCount;
}

// Where the dialog would ask whether to send a program without END, the command refuses it
// unless told to send it anyway.
std::optional<Refusal> Unfinished(const ctrl::ProgramSource& source, bool force) {
    if (force || source.EndsWithEnd())
        return std::nullopt;
    return Refusal{msg::Text(msg::Id::ProgramWithoutEnd), exitcode::kRefused};
}

std::optional<Refusal> Unfinished(const ctrl::ParameterSource&, bool) {
    return std::nullopt;
}

// A program or a parameter page, opened as its dialog opens it.
template <typename Source>
std::optional<Refusal> PrepareFile(const std::string& path, const ctrl::TransferProfile& profile,
                                   const std::string& number, bool force, Download& download) {
    auto source = std::make_unique<Source>();
    if (auto refusal = OpenFailure(source->Open(fileio::PathFromUtf8(path)), path))
        return refusal;
    if (auto refusal = Unfinished(*source, force))
        return refusal;
    download.total = Numbered(*source, text::DecimalValue(number));
    download.record.number = text::DecimalValue(number);
    download.profile = &profile;
    download.source = std::move(source);
    return std::nullopt;
}

std::optional<Refusal> PrepareScreen(const ParsedArgs& args, const std::string& path,
                                     Download& download) {
    auto source = std::make_unique<ctrl::ScreenSource>();
    ctrl::ScreenTarget& target = source->target;
    target.kind = *KindNamed(args.Value("--kind").value_or("startup"));
    target.screenNumber = text::DecimalValue(args.Value("--number").value_or("0"));
    const auto registers = *FourTexts(args.Value("--registers").value_or("0,0,0,0"));
    for (std::size_t i = 0; i < registers.size(); ++i)
        target.registerNumbers[i] = text::DecimalValue(registers[i]);
    switch (ctrl::CheckScreenTarget(target)) {
        case ctrl::ScreenRange::ScreenNumberTooHigh:
            return Refusal{std::string(ctrl::kScreenNumberRangeMessage), exitcode::kRefused};
        case ctrl::ScreenRange::RegisterNumberTooHigh:
            return Refusal{std::string(ctrl::kRegisterNumberRangeMessage), exitcode::kRefused};
        case ctrl::ScreenRange::Ok:
            break;
    }
    const std::string scratch =
        args.Value("--scratch").value_or(ctrl::DefaultScratchPath().toStdString());
    std::string head;
    if (!screen::ReadBitmapHead(fileio::PathFromUtf8(path), head))
        return Refusal{ctrl::CannotOpenMessage(path), exitcode::kUnreadable};
    if (const int check = screen::CheckScreenBitmap(head); check != screen::kBitmapOk)
        return Refusal{msg::Text(msg::Id::ScreenCheckRefused, {screen::CheckMessage(check)}),
                       exitcode::kRefused};
    if (screen::ConvertScreenBitmap(head, fileio::PathFromUtf8(scratch)))
        return Refusal{screen::ScratchFailedMessage(scratch), exitcode::kCannotCreate};
    if (!source->Open(fileio::PathFromUtf8(scratch)))
        return Refusal{ctrl::CannotOpenMessage(scratch), exitcode::kUnreadable};
    download.total = ctrl::ScreenSource::kPacketCount;
    download.record.number = target.screenNumber;
    download.profile = &ctrl::kScreenProfile;
    download.source = std::move(source);
    return std::nullopt;
}

bool FourDigits(std::string_view text) {
    return !text.empty() && text.size() <= 4 &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

// The words make sense: a kind, a file, a port, and option values of the right shape.
std::string UsageFault(const ParsedArgs& args) {
    const std::string& kind = args.positional[0];
    if (kind != "program" && kind != "params" && kind != "screen")
        return msg::Text(msg::Id::CliDownloadUnknownKind, {kind});
    if (!args.Has("--port"))
        return msg::Text(msg::Id::CliDownloadNeedsPort);
    const std::string port = *args.Value("--port");
    ctrl::UsbIdentity usb;
    if (!text::NamesPort(port) && !ctrl::ParseUsbPortName(QString::fromStdString(port), usb))
        return msg::Text(msg::Id::CliDownloadBadPort, {port});
    if (const auto kindName = args.Value("--kind"); kindName && !KindNamed(*kindName))
        return msg::Text(msg::Id::CliDownloadBadScreenKind, {*kindName});
    if (const auto list = args.Value("--registers"); list && !FourTexts(*list))
        return msg::Text(msg::Id::CliDownloadBadRegisters, {*list});
    // The dialogs' number fields hold four characters; a longer number would be cut to 16 bits.
    for (const char* option : {"--number", "--page"}) {
        if (const auto number = args.Value(option); number && !FourDigits(*number))
            return msg::Text(msg::Id::CliDownloadBadNumber, {option, *number});
    }
    if (const auto baud = args.Value("--baud");
        baud && *baud != "4800" && *baud != "9600" && *baud != "19200")
        return msg::Text(msg::Id::CliDownloadBadBaud, {*baud});
    return {};
}

std::optional<Refusal> Prepare(const ParsedArgs& args, Download& download) {
    const std::string& kind = args.positional[0];
    const std::string& path = args.positional[1];
    if (kind == "program")
        return PrepareFile<ctrl::ProgramSource>(path, ctrl::kProgramProfile,
                                                args.Value("--number").value_or("001"),
                                                args.Has("--force"), download);
    if (kind == "params")
        return PrepareFile<ctrl::ParameterSource>(path, ctrl::kParameterProfile,
                                                  args.Value("--page").value_or("001"),
                                                  args.Has("--force"), download);
    return PrepareScreen(args, path, download);
}

}  // namespace cli
