#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QJsonObject>
#include <QString>

#include "downloads/DownloadRecord.h"
#include "jobs/GoldenRun.h"
#include "jobs/JobInputs.h"
#include "link/ControllerSession.h"
#include "link/SerialPort.h"
#include "wire/WireTrace.h"

namespace jobs {

// What became of one unit.
enum class UnitOutcome { Passed, Failed, Stopped, Interrupted };
const char* OutcomeName(UnitOutcome outcome);

// Why a unit did not pass, in the terms `tarvex download` exits with.
enum class UnitFailure { None, Refused, NoController, NoAnswer, LineLost, Suspect, Stopped };

struct UnitResult {
    UnitOutcome outcome = UnitOutcome::Interrupted;
    UnitFailure failure = UnitFailure::None;
    int failedStep = 0;   // 1-based; 0 when every step passed
    std::string message;  // what the failing step reported
    std::vector<ctrl::DownloadRecord> steps;
};

// One station's port: brings units in by handshake, sends a job's steps with the same transfer
// engine and timings as a single download, says goodbye and sees the unit leave. Runs the event
// loop while it waits, so a caller needs none of its own.
class UnitStation {
public:
    // `portText` is "COMn", a device path, or "usb:VID:PID[:SERIAL]" looked up at each connect.
    UnitStation(QString portText, int baudRate, bool fastPacing,
                std::function<bool()> stopRequested);
    ~UnitStation();
    UnitStation(const UnitStation&) = delete;
    UnitStation& operator=(const UnitStation&) = delete;

    enum class Arrival { Arrived, NoController, LineLost, Stopped };
    // Patient: handshakes every tick until a unit answers; otherwise the session's own give-up.
    Arrival WaitForUnit(bool patient);
    // After the farewell: handshakes until one goes unanswered or the line goes; false when
    // asked to stop first.
    bool WaitForLeave();
    UnitResult RunUnit(const PreparedJob& job, const UnitStamp& stamp);
    void Farewell();

    // What the session and the transfers reported, oldest first.
    std::vector<std::string> messages;
    // Called on the station's thread as a step's packets go: step (1-based), packets sent, of.
    std::function<void(int, int, int)> progressMoved;
    // The adapter as "VID:PID:serial" where the system knows it.
    QString AdapterIdentity() const;
    const QString& PortText() const { return portText; }
    // The wire traffic since the unit arrived.
    std::string TraceText();

private:
    bool Connect();
    bool RunStep(const PreparedStep& step, const UnitStamp& stamp, ctrl::DownloadRecord& record,
                 UnitResult& result);

    QString portText;
    bool fastPacing;
    std::function<bool()> stopRequested;
    CSerialPort port;
    std::unique_ptr<ctrl::ControllerSession> session;
    std::unique_ptr<wire::Recorder> recorder;
    int stepUnderWay = 0;
};

// Where the frames of a unit stamped `a` may differ from those of one stamped `b`: every step's
// header and data packets built both ways, in the order they are sent.
FrameMask StampMask(const PreparedJob& job, const UnitStamp& a, const UnitStamp& b);

// The ledger line of a unit: the keys the records window and `tarvex ledger` read.
struct UnitContext {
    QString station, operatorName, port, adapter, trace;
    QString golden;  // how the unit's traffic compares with the golden run, when there is one
};
QJsonObject UnitRecord(const PreparedJob& job, const UnitStamp& stamp, const UnitResult& result,
                       const UnitContext& context);

}  // namespace jobs
