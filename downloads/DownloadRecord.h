#pragma once

#include <string_view>
#include <system_error>
#include <utility>

#include <QByteArray>
#include <QDateTime>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>

namespace ctrl {

class TransferEngine;

// How a recorded download ended; the ledger spells it with OutcomeName.
enum class RecordOutcome { Finished, Suspect, Abandoned, Lost, Stopped };
// "finished", "suspect", "abandoned", "lost" or "stopped".
QString OutcomeName(RecordOutcome outcome);
// The log's words for an outcome name ("finished" -> "完成"); an unknown name as it stands.
QString OutcomeText(const QString& name);

// One download as it ended: what went to which controller, for the log and the ledger.
struct DownloadRecord {
    QDateTime time;  // when it ended
    QString port;
    QString kind;       // "program", "params" or "screen"
    int number = 0;     // program number, page or screen number
    QString file;       // as the user named it
    QByteArray sha256;  // hex, of the bytes that were sent
    qint64 size = 0;
    int frames = 0;
    int resendRequests = 0;
    int timedResends = 0;
    int suspectAnswers = 0;
    double seconds = 0;
    RecordOutcome outcome = RecordOutcome::Stopped;

    // A record of a download that starts now: what goes where, the rest filled as it runs.
    static DownloadRecord Of(QString kind, int number, QString file, QString port) {
        DownloadRecord record;
        record.kind = std::move(kind);
        record.number = number;
        record.file = std::move(file);
        record.port = std::move(port);
        return record;
    }

    // Fills the hash and the size from the snapshot that goes out.
    void Describe(std::string_view sentBytes);
    // Fills the counts and the outcome from the engine once it has ended.
    void Take(const TransferEngine& engine);
    // The run is over: the time it ended, how long since `clock` started, and the engine's counts.
    void Finish(const TransferEngine& engine, const QElapsedTimer& clock);
};

// One JSON object on one line, without the line feed.
QByteArray LedgerLine(const DownloadRecord& record);
// Appends the record to the ledger, creating the file and its folder when needed; see
// fileio::AppendRecord for turns, a cut-off last line, roll-over and what is refused.
std::error_code AppendToLedger(const DownloadRecord& record, const QString& path);
// The ledger's files, oldest first, rolled-over ones included: every one a reader must read.
QStringList LedgerFiles(const QString& path);
// downloads.jsonl in the per-user application data folder.
QString DefaultLedgerPath();
// The log's line for the record (the log adds the time).
QString LogLine(const DownloadRecord& record);
// The status bar's short line: the outcome first ("下载完成：程序 1，300 帧，3.1 秒").
QString StatusLine(const DownloadRecord& record);

}  // namespace ctrl
