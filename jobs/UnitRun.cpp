#include "jobs/UnitRun.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTimer>

#include "common/PortName.h"
#include "downloads/ParameterSource.h"
#include "downloads/ProgramSource.h"
#include "downloads/ScreenSource.h"
#include "link/PortList.h"
#include "link/RunUntil.h"
#include "link/TimedTransfer.h"

namespace jobs {
namespace {

using ctrl::RunUntil;

class Messages : public ctrl::TransferListener {
public:
    std::vector<std::string> texts;
    std::function<void(int)> moved;
    void ProgressMoved(int position) override {
        if (moved)
            moved(position);
    }
    void TransferEnded() override {}
    void Report(const QString& message) override { texts.push_back(message.toStdString()); }
};

struct Prepared {
    std::unique_ptr<ctrl::DownloadSource> source;
    const ctrl::TransferProfile* profile = nullptr;
    int total = 0;
    const char* kind = "";
};

Prepared SourceFor(const PreparedStep& s, const UnitStamp& stamp) {
    switch (s.step.kind) {
        case StepKind::Program: {
            auto source = std::make_unique<ctrl::ProgramSource>();
            source->Load(s.bytes);
            source->programNumber = s.step.number;
            const int total = source->PacketCount();
            return {std::move(source), &ctrl::kProgramProfile, total, "program"};
        }
        case StepKind::Params: {
            auto source = std::make_unique<ctrl::ParameterSource>();
            // The unit's values go into the copy that is sent, never into the file.
            if (source->Load(StampRegisters(s.bytes, stamp)) != ctrl::SourceOpen::Opened)
                return {};
            source->pageNumber = s.step.number;
            return {std::move(source), &ctrl::kParameterProfile,
                    ctrl::ParameterSource::kPacketCount, "params"};
        }
        case StepKind::Screen: {
            auto source = std::make_unique<ctrl::ScreenSource>();
            source->Load(s.bytes);
            source->target.kind = s.step.screenKind;
            source->target.screenNumber = s.step.number;
            for (std::size_t i = 0; i < 4; ++i)
                source->target.registerNumbers[i] = s.step.registers[i];
            return {std::move(source), &ctrl::kScreenProfile, ctrl::ScreenSource::kPacketCount,
                    "screen"};
        }
    }
    return {};
}

}  // namespace

const char* OutcomeName(UnitOutcome outcome) {
    switch (outcome) {
        case UnitOutcome::Passed:
            return "passed";
        case UnitOutcome::Failed:
            return "failed";
        case UnitOutcome::Stopped:
            return "stopped";
        case UnitOutcome::Interrupted:
            break;
    }
    return "interrupted";
}

UnitStation::UnitStation(QString portText, int baudRate, bool fastPacing,
                         std::function<bool()> stopRequested)
    : portText(std::move(portText)),
      fastPacing(fastPacing),
      stopRequested(std::move(stopRequested)) {
    port.baudRate = baudRate;
    session = std::make_unique<ctrl::ControllerSession>(
        port, [this](const QString& message) { messages.push_back(message.toStdString()); });
    port.tap = [this](bool sent, const std::uint8_t* bytes, int count) {
        if (!recorder)
            return;
        if (sent)
            recorder->Sent(bytes, count);
        else
            recorder->Received(bytes, count);
    };
}

UnitStation::~UnitStation() {
    port.tap = nullptr;
    session.reset();
    port.Close();
}

// Names the device anew before each connect: a USB adapter that travels with the unit comes
// back under whatever name the system gives it.
bool UnitStation::Connect() {
    const std::string text = portText.toStdString();
    port.Close();
    port.portNumber = 1;
    port.portPath.clear();
    if (ctrl::UsbIdentity usb; ctrl::ParseUsbPortName(portText, usb)) {
        const QString device = ctrl::FindByIdentity(ctrl::ListPorts(), usb);
        if (device.isEmpty())
            return false;
        port.portPath = device;
    } else if (const int number = text::ComPortNumber(text)) {
        port.portNumber = number;
    } else {
        port.portPath = portText;
    }
    session->ViewUpdate();
    session->Connect(portText);
    return port.IsOpen();
}

UnitStation::Arrival UnitStation::WaitForUnit(bool patient) {
    for (;;) {
        messages.clear();
        recorder = std::make_unique<wire::Recorder>();
        const bool opened = Connect();
        if (!patient) {
            RunUntil([&] { return session->connected || !messages.empty() || stopRequested(); });
        } else {
            const int tickMs = ctrl::ControllerSession::TickMs();
            QElapsedTimer waited;
            waited.start();
            RunUntil([&] {
                return session->connected || stopRequested() || session->lineLost ||
                       (opened ? session->handshakeTicks >= 1 : waited.elapsed() >= tickMs);
            });
        }
        if (stopRequested())
            return Arrival::Stopped;
        if (session->connected)
            return Arrival::Arrived;
        if (!patient)
            return session->lineLost ? Arrival::LineLost : Arrival::NoController;
    }
}

bool UnitStation::WaitForLeave() {
    for (;;) {
        recorder.reset();
        messages.clear();
        if (!Connect())
            return true;
        RunUntil([&] {
            return session->connected || stopRequested() || session->lineLost ||
                   session->handshakeTicks >= 1;
        });
        if (stopRequested())
            return false;
        if (!session->connected)
            return true;
        // Still the same unit: leave it as it was and ask again.
        session->Disconnect();
    }
}

// Said after a failed step as well, on the line the engine closed when it gave up: a unit that
// stopped answering may still be listening, and a line of units moves on at the farewell.
void UnitStation::Farewell() {
    if (port.IsOpen() || port.OpenConfigured())
        session->Disconnect();
}

std::string UnitStation::TraceText() {
    if (!recorder)
        return {};
    recorder->Flush();
    return recorder->Text();
}

QString UnitStation::AdapterIdentity() const {
    const QString device = port.ConfiguredName();
    if (!ctrl::MayHaveUsbIdentity(device))
        return {};
    for (const ctrl::PortEntry& entry : ctrl::ListPorts()) {
        if (entry.hasUsbIds && (entry.path == device || entry.target == device))
            return QStringLiteral("%1:%2:%3")
                .arg(entry.vendorId, 4, 16, QLatin1Char('0'))
                .arg(entry.productId, 4, 16, QLatin1Char('0'))
                .arg(entry.serialNumber);
    }
    return {};
}

bool UnitStation::RunStep(const PreparedStep& step, const UnitStamp& stamp,
                          ctrl::DownloadRecord& record, UnitResult& result) {
    Prepared p = SourceFor(step, stamp);
    record = ctrl::DownloadRecord::Of(QString::fromLatin1(p.kind), step.step.number,
                                      QString::fromStdString(step.step.file), portText);
    if (!p.source) {
        result.failure = UnitFailure::Refused;
        return false;
    }
    record.Describe(p.source->Snapshot());
    Messages heard;
    if (progressMoved)
        heard.moved = [this, &p](int position) { progressMoved(stepUnderWay, position, p.total); };
    QElapsedTimer clock;
    clock.start();
    auto transfer = std::make_unique<ctrl::TimedTransfer>(port, *p.profile, *p.source, heard);
    if (fastPacing)
        transfer->PaceByAnswers();
    transfer->Start();
    transfer->Engine().SetProgressRange(p.total);
    RunUntil([&] {
        return transfer->Engine().Outcome() != ctrl::TransferOutcome::Running || stopRequested();
    });
    record.time = QDateTime::currentDateTime();
    record.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    record.Take(transfer->Engine());
    const ctrl::TransferOutcome outcome = transfer->Engine().Outcome();
    const bool lost = transfer->Engine().LineLost();
    const int suspect = transfer->Engine().SuspectAnswers();
    transfer.reset();
    p.source->CloseSource();
    if (!heard.texts.empty())
        result.message = heard.texts.front();
    if (outcome == ctrl::TransferOutcome::Finished) {
        if (suspect == 0)
            return true;
        result.failure = UnitFailure::Suspect;
    } else if (outcome == ctrl::TransferOutcome::Running ||
               outcome == ctrl::TransferOutcome::Stopped) {
        result.failure = UnitFailure::Stopped;
    } else {
        result.failure = lost ? UnitFailure::LineLost : UnitFailure::NoAnswer;
    }
    return false;
}

UnitResult UnitStation::RunUnit(const PreparedJob& job, const UnitStamp& stamp) {
    UnitResult result;
    for (std::size_t i = 0; i < job.steps.size(); ++i) {
        ctrl::DownloadRecord record;
        stepUnderWay = static_cast<int>(i + 1);
        const bool passed = RunStep(job.steps[i], stamp, record, result);
        result.steps.push_back(record);
        if (!passed) {
            result.failedStep = static_cast<int>(i + 1);
            result.outcome =
                result.failure == UnitFailure::Stopped ? UnitOutcome::Stopped : UnitOutcome::Failed;
            return result;
        }
    }
    result.outcome = UnitOutcome::Passed;
    return result;
}

FrameMask StampMask(const PreparedJob& job, const UnitStamp& a, const UnitStamp& b) {
    FrameMask mask;
    std::size_t frame = 0;
    for (const PreparedStep& step : job.steps) {
        Prepared pa = SourceFor(step, a);
        Prepared pb = SourceFor(step, b);
        if (!pa.source || !pb.source)
            return mask;
        ctrl::Packet x{}, y{};
        pa.source->BuildHeaderPacket(x);
        pb.source->BuildHeaderPacket(y);
        for (bool more = true; more; ++frame) {
            for (std::size_t i = 0; i < x.size(); ++i) {
                if (x[i] != y[i])
                    mask.insert({frame, i + 1});
            }
            const bool moreA = pa.source->NextDataPacket(x);
            const bool moreB = pb.source->NextDataPacket(y);
            more = moreA && moreB;
        }
        pa.source->CloseSource();
        pb.source->CloseSource();
    }
    return mask;
}

QJsonObject UnitRecord(const PreparedJob& job, const UnitStamp& stamp, const UnitResult& result,
                       const UnitContext& context) {
    QJsonObject stamped;
    for (const auto& [number, text] : stamp.values)
        stamped[QStringLiteral("S%1").arg(number, 4, 10, QLatin1Char('0'))] =
            QString::fromStdString(text);
    QJsonArray steps;
    for (const ctrl::DownloadRecord& r : result.steps) {
        QJsonObject step = QJsonDocument::fromJson(ctrl::LedgerLine(r)).object();
        step.remove(QStringLiteral("port"));
        step.remove(QStringLiteral("time"));
        steps.append(step);
    }
    QJsonObject record{
        {"time", QDateTime::currentDateTime().toString(Qt::ISODateWithMs)},
        {"station", context.station},
        {"operator", context.operatorName},
        {"job", QString::fromStdString(JobName(job.path))},
        {"approved", QString::fromStdString(ApprovalHash(job.job.approved))},
        {"unit", QString::fromStdString(stamp.unit)},
        {"stamp", stamped},
        {"port", context.port},
        {"adapter", context.adapter},
        {"steps", steps},
        {"outcome", QString::fromLatin1(OutcomeName(result.outcome))},
    };
    if (result.failedStep > 0) {
        record["failedStep"] = result.failedStep;
        record["message"] = QString::fromStdString(result.message);
    }
    if (!context.trace.isEmpty())
        record["trace"] = context.trace;
    if (!context.golden.isEmpty())
        record["golden"] = context.golden;
    return record;
}

}  // namespace jobs
