#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <memory>
#include <optional>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>

#include <QSocketNotifier>
#endif

#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/ExitCodes.h"
#include "cli/ProgressLine.h"
#include "common/DecimalValue.h"
#include "common/FileIo.h"
#include "common/PortName.h"
#include "downloads/DownloadMessages.h"
#include "downloads/DownloadRecord.h"
#include "downloads/ParameterSource.h"
#include "downloads/ProgramSource.h"
#include "downloads/ScratchPath.h"
#include "downloads/ScreenSource.h"
#include "link/ControllerSession.h"
#include "link/FailureExplain.h"
#include "link/PortList.h"
#include "link/SerialPort.h"
#include "link/TimedTransfer.h"
#include "screen/ScreenImage.h"
#include "wire/WireTrace.h"

namespace cli {
namespace {

constexpr OptionRule kOptions[] = {
    {"--port", "", true},    {"--baud", "", true},   {"--number", "", true},
    {"--page", "", true},    {"--kind", "", true},   {"--registers", "", true},
    {"--scratch", "", true}, {"--force", "", false}, {"--fast", "", false},
    {"--trace", "", true},
};
constexpr Grammar kGrammar{kOptions, 2, msg::Id::CliDownloadExpectsKindAndFile};

// Runs the event loop until `done` holds.
template <typename Done>
void RunUntil(Done done) {
    QTimer wake;  // looks at `done` now and then even when nothing else happens
    wake.start(20);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// SIGINT and SIGTERM while the port is in use: the handler only writes the signal's number to a
// pipe, and the event loop reads it, so the download can stop between frames, say goodbye and
// put the port back as it was.
class StopSignals {
public:
#ifdef Q_OS_UNIX
    StopSignals() {
        if (::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0)
            return;
        writeEnd.store(pipe[1]);
        struct sigaction action {};
        action.sa_handler = OnSignal;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGINT, &action, &previousInt);
        ::sigaction(SIGTERM, &action, &previousTerm);
        notifier = std::make_unique<QSocketNotifier>(pipe[0], QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] {
            unsigned char number = 0;
            while (::read(pipe[0], &number, 1) == 1) {
                if (received == 0)
                    received = number;
            }
        });
    }
    ~StopSignals() {
        if (pipe[0] < 0)
            return;
        ::sigaction(SIGINT, &previousInt, nullptr);
        ::sigaction(SIGTERM, &previousTerm, nullptr);
        writeEnd.store(-1);
        notifier.reset();
        ::close(pipe[0]);
        ::close(pipe[1]);
    }
#else
    StopSignals() = default;
#endif
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The signal that asked to stop, 0 while none did.
    int Received() const {
        return received;
    }

private:
#ifdef Q_OS_UNIX
    static void OnSignal(int number) {
        const int saved = errno;
        const unsigned char byte = static_cast<unsigned char>(number);
        if (const int fd = writeEnd.load(); fd >= 0) [[maybe_unused]]
            const ssize_t n = ::write(fd, &byte, 1);
        errno = saved;
    }
    static inline std::atomic<int> writeEnd{-1};
    int pipe[2] = {-1, -1};
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
    std::unique_ptr<QSocketNotifier> notifier;
#endif
    int received = 0;
};

struct Download {
    std::unique_ptr<ctrl::DownloadSource> source;
    const ctrl::TransferProfile* profile = nullptr;
    int total = 0;
    ctrl::DownloadRecord record;
};

// The ledger keeps what went to which controller, whatever the outcome; false when it could not.
bool File(Download& download, const ctrl::TransferEngine& engine, const QElapsedTimer& clock,
          std::ostream& err) {
    download.record.time = QDateTime::currentDateTime();
    download.record.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    download.record.Take(engine);
    const QString ledger = ctrl::DefaultLedgerPath();
    if (!ctrl::AppendToLedger(download.record, ledger))
        return true;
    err << msg::Text(msg::Id::LedgerNotWritten, {ledger.toStdString()}) << "\n";
    return false;
}

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
    if (auto refusal = OpenFailure(source->Open(path), path))
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
    if (!screen::ReadBitmapHead(path, head))
        return Refusal{ctrl::CannotOpenMessage(path), exitcode::kUnreadable};
    if (const int check = screen::CheckScreenBitmap(head); check != screen::kBitmapOk)
        return Refusal{msg::Text(msg::Id::ScreenCheckRefused, {screen::CheckMessage(check)}),
                       exitcode::kRefused};
    if (screen::ConvertScreenBitmap(head, scratch))
        return Refusal{screen::ScratchFailedMessage(scratch), exitcode::kCannotCreate};
    if (!source->Open(scratch))
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

// A port is "COMn" or a device path from the root: any other text would fall back to COM1's
// device and talk to a port the user never named.
void SetPort(CSerialPort& port, const std::string& text) {
    if (const int number = text::ComPortNumber(text))
        port.portNumber = number;
    else
        port.portPath = QString::fromStdString(text);
}

// --trace FILE: every byte of the session, written when the command ends, however it ends: a
// failed transfer is when the trace matters most.
class TraceFile {
public:
    TraceFile(CSerialPort& port, std::optional<std::string> path, std::ostream& err)
        : port(port), path(std::move(path)), err(err) {
        if (this->path) {
            port.tap = [this](bool sent, const std::uint8_t* bytes, int count) {
                if (sent)
                    recorder.Sent(bytes, count);
                else
                    recorder.Received(bytes, count);
            };
        }
    }
    ~TraceFile() {
        if (!path)
            return;
        port.tap = nullptr;
        recorder.Flush();
        if (const std::error_code error = fileio::WriteSafely(*path, recorder.Text()))
            err << msg::Text(msg::Id::CliTraceNotWritten, {*path, error.message()}) << "\n";
    }
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

private:
    CSerialPort& port;
    std::optional<std::string> path;
    std::ostream& err;
    wire::Recorder recorder;
};

int SendFile(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    if (const std::string fault = UsageFault(args); !fault.empty())
        return Usage(kDownloadCommand, fault, err);
    EnsureApplication();
    const std::string& kind = args.positional[0];
    const std::string& path = args.positional[1];
    Download download;
    const auto refusal =
        kind == "program" ? PrepareFile<ctrl::ProgramSource>(path, ctrl::kProgramProfile,
                                                             args.Value("--number").value_or("001"),
                                                             args.Has("--force"), download)
        : kind == "params"
            ? PrepareFile<ctrl::ParameterSource>(path, ctrl::kParameterProfile,
                                                 args.Value("--page").value_or("001"),
                                                 args.Has("--force"), download)
            : PrepareScreen(args, path, download);
    if (refusal)
        return Report(out, refusal->message, refusal->status);

    CSerialPort port;
    const TraceFile trace(port, args.Value("--trace"), err);
    const std::string portText = *args.Value("--port");
    // A USB adapter named by identity is looked up under whatever name it has now.
    if (ctrl::UsbIdentity usb; ctrl::ParseUsbPortName(QString::fromStdString(portText), usb)) {
        const QString device = ctrl::FindByIdentity(ctrl::ListPorts(), usb);
        if (device.isEmpty()) {
            download.source->CloseSource();
            const QString first =
                QString::fromStdString(msg::Text(msg::Id::PortOpenFailed, {portText}));
            const ctrl::OpenFailure missing{
                ctrl::OpenFailureReason::NotFound, QString::fromStdString(portText), {}};
            return Report(out, ctrl::ExplainOpenFailure(first, missing).toStdString(),
                          exitcode::kNoController);
        }
        SetPort(port, device.toStdString());
    } else {
        SetPort(port, portText);
    }
    port.baudRate = std::stoi(args.Value("--baud").value_or("4800"));
    std::vector<std::string> shown;
    ctrl::ControllerSession session(
        port, [&shown](const QString& message) { shown.push_back(message.toStdString()); });
    const StopSignals stop;
    session.ViewUpdate();
    session.Connect(QString::fromStdString(portText));
    RunUntil([&] { return session.connected || !shown.empty() || stop.Received() != 0; });
    if (stop.Received() != 0 || !session.connected) {
        download.source->CloseSource();
        if (stop.Received() != 0) {
            if (session.connected)
                session.Disconnect();
            port.Close();
            return exitcode::kSignalled + stop.Received();
        }
        for (const std::string& message : shown)
            out << message << "\n";
        return session.lineLost ? exitcode::kLineLost : exitcode::kNoController;
    }

    download.record.kind = QString::fromStdString(kind);
    download.record.file = QString::fromStdString(path);
    download.record.port = QString::fromStdString(portText);
    download.record.Describe(download.source->Snapshot());
    QElapsedTimer clock;
    clock.start();
    ProgressLine bar(err, download.total, download.profile->periodMs, isatty(STDERR_FILENO) == 1);
    auto transfer =
        std::make_unique<ctrl::TimedTransfer>(port, *download.profile, *download.source, bar);
    if (args.Has("--fast"))
        transfer->PaceByAnswers();
    transfer->Start();
    transfer->Engine().SetProgressRange(download.total);
    bar.Draw(0);
    RunUntil([&] {
        return transfer->Engine().Outcome() != ctrl::TransferOutcome::Running ||
               stop.Received() != 0;
    });
    const ctrl::TransferOutcome outcome = transfer->Engine().Outcome();
    const bool filed = File(download, transfer->Engine(), clock, err);
    if (outcome == ctrl::TransferOutcome::Running) {
        // Stopped between two ticks: no further frame goes out once the ticks are gone.
        transfer.reset();
        download.source->CloseSource();
        err << "\n";
        session.Disconnect();
        return exitcode::kSignalled + stop.Received();
    }
    if (outcome == ctrl::TransferOutcome::Finished) {
        bar.Draw(download.total, true);
        session.Disconnect();
        for (const std::string& message : bar.messages)
            out << message << "\n";
        if (transfer->Engine().SuspectAnswers() > 0)
            return exitcode::kSuspectData;
        return filed ? exitcode::kOk : exitcode::kNotRecorded;
    }
    err << "\n";
    // The session reports a lost line from the event loop, perhaps after the transfer saw it.
    if (transfer->Engine().LineLost()) {
        out << msg::Text(msg::Id::LineLost) << "\n";
        return exitcode::kLineLost;
    }
    for (const std::string& message : bar.messages)
        out << message << "\n";
    return exitcode::kNoAnswer;
}

// The words for one port out of several: that port, and a trace of its own (FILE.1, FILE.2 ...).
ParsedArgs ForOnePort(const ParsedArgs& args, std::size_t index) {
    ParsedArgs one = args;
    one.repeated.clear();
    one.values["--port"] = args.repeated.at("--port")[index];
    if (const auto trace = args.Value("--trace"))
        one.values["--trace"] = *trace + "." + std::to_string(index + 1);
    return one;
}

// What the summary says of a port: the outcome its exit status stands for, else the first line
// of what it reported.
std::string OutcomeText(int status, const std::string& firstMessage) {
    switch (status) {
        case exitcode::kOk:
            return msg::Text(msg::Id::LogOutcomeFinished);
        case exitcode::kSuspectData:
            return msg::Text(msg::Id::LogOutcomeSuspect);
        case exitcode::kNoAnswer:
            return msg::Text(msg::Id::LogOutcomeAbandoned);
        default:
            break;
    }
    return status > exitcode::kSignalled ? msg::Text(msg::Id::LogOutcomeStopped) : firstMessage;
}

#ifdef Q_OS_UNIX
// A stream buffer writing straight to a descriptor, for a port's own process.
class DescriptorBuffer : public std::streambuf {
public:
    explicit DescriptorBuffer(int fd) : fd(fd) {}

protected:
    int_type overflow(int_type c) override {
        if (c == traits_type::eof())
            return traits_type::not_eof(c);
        const char byte = traits_type::to_char_type(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        std::streamsize done = 0;
        while (done < n) {
            const ssize_t w = ::write(fd, s + done, static_cast<std::size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                break;
            done += w;
        }
        return done;
    }

private:
    int fd;
};

// One port's download, run in a process of its own so that every port has its own session,
// port and event loop, and a signal stops each of them cleanly. Its output comes back through
// two pipes, and each line is passed on with the port's name in front.
struct PortProcess {
    std::string port;
    pid_t pid = -1;
    int fds[2] = {-1, -1};     // its standard output and error, read here
    std::string partial[2];    // what came after the last newline
    std::string firstMessage;  // its first line on standard output
    int status = exitcode::kNoController;
};

std::atomic<pid_t> portPids[64];
std::atomic<int> portCount{0};

void PassOnSignal(int number) {
    const int saved = errno;
    for (int i = 0; i < portCount.load(); ++i) {
        if (const pid_t pid = portPids[i].load(); pid > 0)
            ::kill(pid, number);
    }
    errno = saved;
}

bool StartPortProcess(const ParsedArgs& args, PortProcess& run) {
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return false;
    if (::pipe2(errPipe, O_CLOEXEC) != 0) {
        ::close(outPipe[0]);
        ::close(outPipe[1]);
        return false;
    }
    run.pid = ::fork();
    if (run.pid == 0) {
        ::dup2(outPipe[1], STDOUT_FILENO);
        ::dup2(errPipe[1], STDERR_FILENO);
        DescriptorBuffer outBuffer(STDOUT_FILENO);
        DescriptorBuffer errBuffer(STDERR_FILENO);
        std::ostream out(&outBuffer);
        std::ostream err(&errBuffer);
        ::_exit(SendFile(args, out, err));
    }
    ::close(outPipe[1]);
    ::close(errPipe[1]);
    run.fds[0] = outPipe[0];
    run.fds[1] = errPipe[0];
    if (run.pid < 0) {
        ::close(outPipe[0]);
        ::close(errPipe[0]);
        run.fds[0] = run.fds[1] = -1;
        return false;
    }
    return true;
}

// Passes on every whole line that came from a port's process; at its end, the rest as well.
void PassOnLines(PortProcess& run, int which, std::ostream& to, bool ended) {
    std::string& text = run.partial[which];
    std::size_t from = 0;
    for (std::size_t nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1) {
        const std::string line = text.substr(from, nl - from);
        to << run.port << ": " << line << "\n";
        if (which == 0 && run.firstMessage.empty())
            run.firstMessage = line;
    }
    text.erase(0, from);
    if (ended && !text.empty()) {
        to << run.port << ": " << text << "\n";
        text.clear();
    }
    to.flush();
}

void CollectOutput(std::vector<PortProcess>& runs, std::ostream& out, std::ostream& err) {
    for (;;) {
        std::vector<pollfd> fds;
        std::vector<std::pair<PortProcess*, int>> owners;
        for (PortProcess& run : runs) {
            for (int which = 0; which < 2; ++which) {
                if (run.fds[which] >= 0) {
                    fds.push_back({run.fds[which], POLLIN, 0});
                    owners.emplace_back(&run, which);
                }
            }
        }
        if (fds.empty())
            return;
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR)
                continue;
            return;
        }
        for (std::size_t i = 0; i < fds.size(); ++i) {
            if (fds[i].revents == 0)
                continue;
            auto [run, which] = owners[i];
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n < 0 && errno == EINTR)
                continue;
            if (n > 0)
                run->partial[which].append(buffer, static_cast<std::size_t>(n));
            PassOnLines(*run, which, which == 0 ? out : err, n <= 0);
            if (n <= 0) {
                ::close(run->fds[which]);
                run->fds[which] = -1;
            }
        }
    }
}

int SendToEachPort(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& ports = args.repeated.at("--port");
    std::vector<PortProcess> runs(ports.size());
    out.flush();
    err.flush();
    for (std::size_t i = 0; i < ports.size(); ++i) {
        runs[i].port = ports[i];
        if (!StartPortProcess(ForOnePort(args, i), runs[i]))
            runs[i].firstMessage = msg::Text(msg::Id::PortOpenFailed, {ports[i]});
    }
    // A signal meant for the command reaches every port's process, which stops its transfer.
    portCount = 0;
    for (const PortProcess& run : runs) {
        if (run.pid > 0 && portCount.load() < static_cast<int>(std::size(portPids)))
            portPids[portCount++].store(run.pid);
    }
    struct sigaction action {};
    struct sigaction previousInt {};
    struct sigaction previousTerm {};
    action.sa_handler = PassOnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previousInt);
    ::sigaction(SIGTERM, &action, &previousTerm);
    CollectOutput(runs, out, err);
    for (PortProcess& run : runs) {
        int status = 0;
        while (run.pid > 0 && ::waitpid(run.pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (run.pid > 0)
            run.status =
                WIFEXITED(status) ? WEXITSTATUS(status) : exitcode::kSignalled + WTERMSIG(status);
    }
    ::sigaction(SIGINT, &previousInt, nullptr);
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    portCount = 0;
    int worst = exitcode::kOk;
    for (const PortProcess& run : runs) {
        out << msg::Text(msg::Id::CliDownloadPortSummary,
                         {run.port, OutcomeText(run.status, run.firstMessage),
                          std::to_string(run.status)})
            << "\n";
        worst = std::max(worst, run.status);
    }
    return worst;
}
#else
// Without fork the ports take turns.
int SendToEachPort(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    const std::vector<std::string>& ports = args.repeated.at("--port");
    std::vector<int> statuses;
    for (std::size_t i = 0; i < ports.size(); ++i)
        statuses.push_back(SendFile(ForOnePort(args, i), out, err));
    int worst = exitcode::kOk;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        out << msg::Text(msg::Id::CliDownloadPortSummary,
                         {ports[i], OutcomeText(statuses[i], {}), std::to_string(statuses[i])})
            << "\n";
        worst = std::max(worst, statuses[i]);
    }
    return worst;
}
#endif

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
