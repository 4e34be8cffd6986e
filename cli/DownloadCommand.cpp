#include <unistd.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include "cli/Arguments.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "link/ControllerSession.h"
#include "link/DownloadMessages.h"
#include "link/ParameterSource.h"
#include "link/ProgramSource.h"
#include "link/ScratchPath.h"
#include "link/ScreenImage.h"
#include "link/ScreenSource.h"
#include "link/SerialPort.h"
#include "link/TimedTransfer.h"
#include "registers/RegisterFile.h"

namespace cli {
namespace {

namespace fs = std::filesystem;

// Beyond the shared exit codes: the line could not be opened or the handshake failed, and the
// controller stopped answering during the transfer.
constexpr int kRefused = 1;
constexpr int kNoController = 5;
constexpr int kNoAnswer = 6;

constexpr OptionSpec kOptions[] = {
    {"--port", "", true}, {"--baud", "", true},      {"--number", "", true},  {"--page", "", true},
    {"--kind", "", true}, {"--registers", "", true}, {"--scratch", "", true},
};

constexpr std::string_view kHelp =
    "usage: tarvex download program OBJECT.kxo --port DEV [--baud B] [--number N]\n"
    "       tarvex download params REGISTERS.dat --port DEV [--baud B] [--page P]\n"
    "       tarvex download screen BITMAP.bmp --port DEV [--baud B]\n"
    "               [--kind startup|parameter|status] [--number N] [--registers A,B,C,D]\n"
    "               [--scratch DATA.dat]\n"
    "\n"
    "Checks the file as the download dialog does, connects (handshake 1, answered by 1),\n"
    "runs the transfer with the dialog's timer and resend rules, and says goodbye (136).\n"
    "DEV is a device path from the root (/dev/ttyUSB0) or COMn, which names /dev/ttyS(n-1);\n"
    "B is 4800 (default), 9600 or 19200.\n"
    "Numbers are read as the dialogs read them: program number 001, page 001, screen 0\n"
    "and registers 0 unless given. A screen is converted into the scratch file first\n"
    "(default: dat01.dat in the application data folder).\n"
    "Messages go to stdout, a progress bar (packets done, total, time left) to stderr.\n"
    "\n"
    "exit status: 0 transfer finished, 1 file or number refused, 3 scratch file not\n"
    "written, 4 file unreadable, 5 port not opened or no handshake, 6 the controller\n"
    "stopped answering, 64 bad command line.\n";

QCoreApplication& EnsureApplication() {
    static int argc = 1;
    static char name[] = "tarvex";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        static QCoreApplication app(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("Tarvex620B"));
    }
    return *QCoreApplication::instance();
}

// Runs the event loop until `done` holds.
template <typename Done>
void RunUntil(Done done) {
    QTimer wake;  // looks at `done` now and then even when nothing else happens
    wake.start(20);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

std::int32_t DecimalValue(const std::string& text) {
    return registers::RegisterValue(text);
}

std::string TimeText(double seconds) {
    const int s = static_cast<int>(seconds + 0.5);
    std::ostringstream text;
    text << s / 60 << ':' << (s % 60 < 10 ? "0" : "") << s % 60;
    return text.str();
}

// The progress window of the dialogs, as a bar on stderr: redrawn in place on a terminal, one
// line per tenth otherwise.
class ProgressBar : public ctrl::TransferListener {
public:
    ProgressBar(std::ostream& err, int total, int periodMs)
        : err(err), total(total), periodMs(periodMs), terminal(isatty(STDERR_FILENO) == 1) {
        clock.start();
    }
    void ProgressMoved(int position) override { Draw(position); }
    void TransferEnded() override {}
    void Report(const QString& message) override { messages.push_back(message.toStdString()); }

    void Draw(int done, bool last = false) {
        const int tenth = total > 0 ? done * 10 / total : 10;
        if (!terminal && !last && tenth == lastTenth)
            return;
        lastTenth = tenth;
        const double elapsed = clock.elapsed() / 1000.0;
        const int left = total - done;
        const double perPacket = done > 0 ? elapsed / done : periodMs / 1000.0;
        constexpr int kWidth = 30;
        const int filled = total > 0 ? done * kWidth / total : kWidth;
        err << (terminal ? "\r" : "") << '[' << std::string(filled, '#')
            << std::string(kWidth - filled, '-') << "] " << done << '/' << total << " packets, "
            << TimeText(left * perPacket) << " left" << (terminal && !last ? "" : "\n")
            << std::flush;
    }

    std::vector<std::string> messages;

private:
    std::ostream& err;
    const int total;
    const int periodMs;
    const bool terminal;
    int lastTenth = -1;
    QElapsedTimer clock;
};

struct Download {
    std::unique_ptr<ctrl::DownloadSource> source;
    const ctrl::TransferProfile* profile = nullptr;
    int total = 0;
};

struct Refusal {
    std::string message;
    int status;
};

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
            return Refusal{std::string(ctrl::kFileFormatMessage), kRefused};
        case ctrl::SourceOpen::Opened:
            break;
    }
    return std::nullopt;
}

std::optional<Refusal> PrepareProgram(const ParsedArgs& args, const std::string& path,
                                      Download& download) {
    auto source = std::make_unique<ctrl::ProgramSource>();
    if (auto refusal = OpenFailure(source->Open(path), path))
        return refusal;
    source->programNumber = DecimalValue(args.Value("--number").value_or("001"));
    download.total = source->PacketCount();
    download.profile = &ctrl::kProgramProfile;
    download.source = std::move(source);
    return std::nullopt;
}

std::optional<Refusal> PrepareParameters(const ParsedArgs& args, const std::string& path,
                                         Download& download) {
    auto source = std::make_unique<ctrl::ParameterSource>();
    if (auto refusal = OpenFailure(source->Open(path), path))
        return refusal;
    source->pageNumber = DecimalValue(args.Value("--page").value_or("001"));
    download.total = ctrl::ParameterSource::kPacketCount;
    download.profile = &ctrl::kParameterProfile;
    download.source = std::move(source);
    return std::nullopt;
}

std::optional<Refusal> PrepareScreen(const ParsedArgs& args, const std::string& path,
                                     Download& download) {
    auto source = std::make_unique<ctrl::ScreenSource>();
    ctrl::ScreenTarget& target = source->target;
    target.kind = *KindNamed(args.Value("--kind").value_or("startup"));
    target.screenNumber = DecimalValue(args.Value("--number").value_or("0"));
    const auto registers = *FourTexts(args.Value("--registers").value_or("0,0,0,0"));
    for (std::size_t i = 0; i < registers.size(); ++i)
        target.registerNumbers[i] = DecimalValue(registers[i]);
    switch (ctrl::CheckScreenTarget(target)) {
        case ctrl::ScreenRange::ScreenNumberTooHigh:
            return Refusal{std::string(ctrl::kScreenNumberRangeMessage), kRefused};
        case ctrl::ScreenRange::RegisterNumberTooHigh:
            return Refusal{std::string(ctrl::kRegisterNumberRangeMessage), kRefused};
        case ctrl::ScreenRange::Ok:
            break;
    }
    std::string head;
    if (!screen::ReadBitmapHead(path, head))
        return Refusal{ctrl::CannotOpenMessage(path), exitcode::kUnreadable};
    if (const int check = screen::CheckScreenBitmap(head); check != screen::kBitmapOk)
        return Refusal{std::string(screen::CheckMessage(check)), kRefused};
    const std::string scratch =
        args.Value("--scratch").value_or(ctrl::DefaultScratchPath().toStdString());
    if (screen::ConvertScreenBitmap(head, scratch))
        return Refusal{screen::ScratchFailedMessage(scratch), exitcode::kCannotCreate};
    if (!source->Open(scratch))
        return Refusal{ctrl::CannotOpenMessage(scratch), exitcode::kUnreadable};
    download.total = ctrl::ScreenSource::kPacketCount;
    download.profile = &ctrl::kScreenProfile;
    download.source = std::move(source);
    return std::nullopt;
}

// "COM3" names port 3; its number, or 0 when the text is no such name.
int ComPortNumber(const std::string& text) {
    int number = 0;
    if (text.size() <= 3 || text.compare(0, 3, "COM") != 0)
        return 0;
    const auto [end, ec] = std::from_chars(text.data() + 3, text.data() + text.size(), number);
    return ec == std::errc() && end == text.data() + text.size() && number >= 1 && number <= 255
               ? number
               : 0;
}

// The words make sense: a kind, a file, a port, and option values of the right shape.
std::string UsageFault(const ParsedArgs& args) {
    if (!args.error.empty())
        return args.error;
    if (args.positional.size() != 2)
        return "expected program|params|screen and a file";
    const std::string& kind = args.positional[0];
    if (kind != "program" && kind != "params" && kind != "screen")
        return "unknown download " + kind + "; expected program, params or screen";
    if (!args.Has("--port"))
        return "--port is required";
    const std::string port = args.Value("--port").value_or("");
    if (ComPortNumber(port) == 0 && !port.starts_with('/'))
        return "--port must be COM1 to COM255 or a device path such as /dev/ttyUSB0, not " + port;
    if (const auto kindName = args.Value("--kind"); kindName && !KindNamed(*kindName))
        return "--kind must be startup, parameter or status, not " + *kindName;
    if (const auto list = args.Value("--registers"); list && !FourTexts(*list))
        return "--registers needs four numbers A,B,C,D, not " + *list;
    if (const auto baud = args.Value("--baud");
        baud && *baud != "4800" && *baud != "9600" && *baud != "19200")
        return "--baud must be 4800, 9600 or 19200, not " + *baud;
    return {};
}

// A port is "COMn" or a device path from the root: any other text would fall back to COM1's
// device and talk to a port the user never named.
void SetPort(CSerialPort& port, const std::string& text) {
    if (const int number = ComPortNumber(text))
        port.portNumber = number;
    else
        port.portPath = QString::fromStdString(text);
}

}  // namespace

int RunDownload(Args words, std::ostream& out, std::ostream& err) {
    const ParsedArgs args = ParseArguments(words, kOptions);
    if (args.help) {
        out << kHelp;
        return exitcode::kOk;
    }
    if (const std::string fault = UsageFault(args); !fault.empty()) {
        err << "tarvex download: " << fault << "\n" << kHelp;
        return exitcode::kUsage;
    }
    EnsureApplication();
    const std::string& kind = args.positional[0];
    const std::string& path = args.positional[1];
    Download download;
    const auto refusal = kind == "program"  ? PrepareProgram(args, path, download)
                         : kind == "params" ? PrepareParameters(args, path, download)
                                            : PrepareScreen(args, path, download);
    if (refusal) {
        out << refusal->message << "\n";
        return refusal->status;
    }

    CSerialPort port;
    const std::string portText = *args.Value("--port");
    SetPort(port, portText);
    port.baudRate = std::stoi(args.Value("--baud").value_or("4800"));
    std::vector<std::string> shown;
    ctrl::ControllerSession session(
        port, [&shown](const QString& message) { shown.push_back(message.toStdString()); });
    session.ViewUpdate();
    session.Connect(QString::fromStdString(portText));
    RunUntil([&] { return session.connected || !shown.empty(); });
    if (!session.connected) {
        download.source->CloseSource();
        for (const std::string& message : shown)
            out << message << "\n";
        return kNoController;
    }

    ProgressBar bar(err, download.total, download.profile->periodMs);
    ctrl::TimedTransfer transfer(port, *download.profile, *download.source, bar);
    transfer.Start();
    transfer.Engine().SetProgressRange(download.total);
    bar.Draw(0);
    RunUntil([&] { return transfer.Engine().Outcome() != ctrl::TransferOutcome::Running; });
    if (transfer.Engine().Outcome() == ctrl::TransferOutcome::Finished) {
        bar.Draw(download.total, true);
        session.Disconnect();
        return exitcode::kOk;
    }
    err << "\n";
    for (const std::string& message : bar.messages)
        out << message << "\n";
    return kNoAnswer;
}

const Command kDownloadCommand{
    "download", "download program|params|screen FILE   send a file to the controller (--port)",
    kHelp, RunDownload};

}  // namespace cli
