#include <unistd.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include <QElapsedTimer>

#include "cli/Commands.h"
#include "cli/DownloadSteps.h"
#include "cli/ExitCodes.h"
#include "cli/ProgressLine.h"
#include "cli/TraceFile.h"
#include "common/PortName.h"
#include "link/ControllerSession.h"
#include "link/FailureExplain.h"
#include "link/PortList.h"
#include "link/RunUntil.h"
#include "link/SerialPort.h"
#include "link/StopSignals.h"
#include "link/TimedTransfer.h"

namespace cli {
namespace {

// The ledger keeps what went to which controller, whatever the outcome; false when it could not.
bool File(Download& download, const ctrl::TransferEngine& engine, const QElapsedTimer& clock,
          std::ostream& err) {
    download.record.Finish(engine, clock);
    const QString ledger = ctrl::DefaultLedgerPath();
    if (!ctrl::AppendToLedger(download.record, ledger))
        return true;
    err << msg::Text(msg::Id::LedgerNotWritten, {ledger.toStdString()}) << "\n";
    return false;
}

// A port is "COMn" or a device path from the root: any other text would fall back to COM1's
// device and talk to a port the user never named.
void SetPort(CSerialPort& port, const std::string& text) {
    if (const int number = text::ComPortNumber(text))
        port.portNumber = number;
    else
        port.portPath = QString::fromStdString(text);
}

// Points the port at what the user named; a USB adapter named by identity is looked up under
// whatever name it has now. The exit status when it is not there.
std::optional<int> ChoosePort(CSerialPort& port, const std::string& portText, std::ostream& out) {
    ctrl::UsbIdentity usb;
    if (!ctrl::ParseUsbPortName(QString::fromStdString(portText), usb)) {
        SetPort(port, portText);
        return std::nullopt;
    }
    const QString device = ctrl::FindByIdentity(ctrl::ListPorts(), usb);
    if (!device.isEmpty()) {
        SetPort(port, device.toStdString());
        return std::nullopt;
    }
    const QString first = QString::fromStdString(msg::Text(msg::Id::PortOpenFailed, {portText}));
    const ctrl::OpenFailure missing{
        ctrl::OpenFailureReason::NotFound, QString::fromStdString(portText), {}};
    return Report(out, ctrl::ExplainOpenFailure(first, missing).toStdString(),
                  exitcode::kNoController);
}

// One session over the chosen port, and what the transfer needs of it.
struct Line {
    CSerialPort& port;
    ctrl::ControllerSession& session;
    const ctrl::StopSignals& stop;
};

// The handshake; the exit status when it did not come about or a signal came first.
std::optional<int> Connect(Line line, const std::string& portText,
                           const std::vector<std::string>& shown, Download& download,
                           std::ostream& out) {
    line.session.ViewUpdate();
    line.session.Connect(QString::fromStdString(portText));
    ctrl::RunUntil(
        [&] { return line.session.connected || !shown.empty() || line.stop.Received() != 0; });
    if (line.stop.Received() == 0 && line.session.connected)
        return std::nullopt;
    download.source->CloseSource();
    if (line.stop.Received() != 0) {
        if (line.session.connected)
            line.session.Disconnect();
        line.port.Close();
        return exitcode::kSignalled + line.stop.Received();
    }
    for (const std::string& message : shown)
        out << message << "\n";
    return line.session.lineLost ? exitcode::kLineLost : exitcode::kNoController;
}

// What the command says and returns once the transfer has ended or been stopped.
int Ended(Line line, std::unique_ptr<ctrl::TimedTransfer>& transfer, Download& download,
          ProgressLine& bar, bool filed, std::ostream& out, std::ostream& err) {
    const ctrl::TransferEngine& engine = transfer->Engine();
    if (engine.Outcome() == ctrl::TransferOutcome::Running) {
        // Stopped between two ticks: no further frame goes out once the ticks are gone.
        transfer.reset();
        download.source->CloseSource();
        err << "\n";
        line.session.Disconnect();
        return exitcode::kSignalled + line.stop.Received();
    }
    if (engine.Outcome() == ctrl::TransferOutcome::Finished) {
        bar.Draw(download.total, true);
        line.session.Disconnect();
        for (const std::string& message : bar.messages)
            out << message << "\n";
        if (engine.SuspectAnswers() > 0)
            return exitcode::kSuspectData;
        return filed ? exitcode::kOk : exitcode::kNotRecorded;
    }
    err << "\n";
    // The session reports a lost line from the event loop, perhaps after the transfer saw it.
    if (engine.LineLost()) {
        out << msg::Text(msg::Id::LineLost) << "\n";
        return exitcode::kLineLost;
    }
    for (const std::string& message : bar.messages)
        out << message << "\n";
    return exitcode::kNoAnswer;
}

int Transfer(Line line, const ParsedArgs& args, Download& download, std::ostream& out,
             std::ostream& err) {
    download.record.kind = QString::fromStdString(args.positional[0]);
    download.record.file = QString::fromStdString(args.positional[1]);
    download.record.port = QString::fromStdString(*args.Value("--port"));
    download.record.Describe(download.source->Snapshot());
    QElapsedTimer clock;
    clock.start();
    ProgressLine bar(err, download.total, download.profile->periodMs, isatty(STDERR_FILENO) == 1);
    auto transfer =
        std::make_unique<ctrl::TimedTransfer>(line.port, *download.profile, *download.source, bar);
    if (args.Has("--fast"))
        transfer->PaceByAnswers();
    transfer->Start();
    transfer->Engine().SetProgressRange(download.total);
    bar.Draw(0);
    ctrl::RunUntil([&] {
        return transfer->Engine().Outcome() != ctrl::TransferOutcome::Running ||
               line.stop.Received() != 0;
    });
    const bool filed = File(download, transfer->Engine(), clock, err);
    return Ended(line, transfer, download, bar, filed, out, err);
}

}  // namespace

int SendFile(const ParsedArgs& args, std::ostream& out, std::ostream& err) {
    if (const std::string fault = UsageFault(args); !fault.empty())
        return Usage(kDownloadCommand, fault, err);
    EnsureApplication();
    Download download;
    if (const auto refusal = Prepare(args, download))
        return Report(out, refusal->message, refusal->status);

    CSerialPort port;
    const TraceFile trace(port, args.Value("--trace"), err);
    const std::string portText = *args.Value("--port");
    if (const auto missing = ChoosePort(port, portText, out)) {
        download.source->CloseSource();
        return *missing;
    }
    port.baudRate = std::stoi(args.Value("--baud").value_or("4800"));
    std::vector<std::string> shown;
    ctrl::ControllerSession session(
        port, [&shown](const QString& message) { shown.push_back(message.toStdString()); });
    const ctrl::StopSignals stop;
    const Line line{port, session, stop};
    if (const auto status = Connect(line, portText, shown, download, out))
        return *status;
    return Transfer(line, args, download, out, err);
}

}  // namespace cli
