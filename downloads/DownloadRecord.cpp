#include "downloads/DownloadRecord.h"

#include <filesystem>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>

#include "common/QtMessages.h"
#include "common/RecordFile.h"
#include "link/TransferEngine.h"

namespace ctrl {

namespace {

struct OutcomeWords {
    RecordOutcome outcome;
    const char* name;
    msg::Id log;
};

constexpr OutcomeWords kOutcomes[] = {
    {RecordOutcome::Finished, "finished", msg::Id::LogOutcomeFinished},
    {RecordOutcome::Suspect, "suspect", msg::Id::LogOutcomeSuspect},
    {RecordOutcome::Abandoned, "abandoned", msg::Id::LogOutcomeAbandoned},
    {RecordOutcome::Lost, "lost", msg::Id::LogOutcomeLost},
    {RecordOutcome::Stopped, "stopped", msg::Id::LogOutcomeStopped},
};

static_assert([] {
    for (std::size_t i = 0; i < std::size(kOutcomes); ++i) {
        if (kOutcomes[i].outcome != static_cast<RecordOutcome>(i))
            return false;
    }
    return true;
}());

const OutcomeWords& WordsOf(RecordOutcome outcome) {
    return kOutcomes[static_cast<std::size_t>(outcome)];
}

}  // namespace

QString OutcomeName(RecordOutcome outcome) {
    return QString::fromLatin1(WordsOf(outcome).name);
}

QString OutcomeText(const QString& name) {
    for (const OutcomeWords& words : kOutcomes) {
        if (name == QLatin1String(words.name))
            return msg::QText(words.log);
    }
    return name;
}

void DownloadRecord::Describe(std::string_view sentBytes) {
    const QByteArrayView bytes(sentBytes.data(), static_cast<qsizetype>(sentBytes.size()));
    sha256 = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    size = bytes.size();
}

void DownloadRecord::Finish(const TransferEngine& engine, const QElapsedTimer& clock) {
    time = QDateTime::currentDateTime();
    seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    Take(engine);
}

void DownloadRecord::Take(const TransferEngine& engine) {
    frames = engine.FramesSent();
    resendRequests = engine.ResendRequests();
    timedResends = engine.TimedResends();
    suspectAnswers = engine.SuspectAnswers();
    switch (engine.Outcome()) {
        case TransferOutcome::Finished:
            outcome = suspectAnswers > 0 ? RecordOutcome::Suspect : RecordOutcome::Finished;
            break;
        case TransferOutcome::Abandoned:
            outcome = engine.LineLost() ? RecordOutcome::Lost : RecordOutcome::Abandoned;
            break;
        case TransferOutcome::Running:
        case TransferOutcome::Stopped:
            outcome = RecordOutcome::Stopped;
            break;
    }
}

QByteArray LedgerLine(const DownloadRecord& r) {
    const QJsonObject object{
        {"time", r.time.toString(Qt::ISODateWithMs)},
        {"port", r.port},
        {"kind", r.kind},
        {"number", r.number},
        {"file", r.file},
        {"sha256", QString::fromLatin1(r.sha256)},
        {"size", r.size},
        {"frames", r.frames},
        {"resendRequests", r.resendRequests},
        {"timedResends", r.timedResends},
        {"suspectAnswers", r.suspectAnswers},
        {"seconds", r.seconds},
        {"outcome", OutcomeName(r.outcome)},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

std::error_code AppendToLedger(const DownloadRecord& record, const QString& path) {
    const QByteArray line = LedgerLine(record);
    return fileio::AppendRecord(std::filesystem::path(path.toStdU16String()),
                                std::string_view(line.constData(), std::size_t(line.size())));
}

QStringList LedgerFiles(const QString& path) {
    QStringList files;
    for (const std::filesystem::path& file :
         fileio::RecordFiles(std::filesystem::path(path.toStdU16String())))
        files << QString::fromStdU16String(file.u16string());
    return files;
}

QString DefaultLedgerPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("downloads.jsonl"));
}

namespace {

QString KindText(const DownloadRecord& r) {
    using msg::Id;
    return msg::QText(r.kind == QLatin1String("program")  ? Id::LogKindProgram
                      : r.kind == QLatin1String("params") ? Id::LogKindParams
                                                          : Id::LogKindScreen);
}

}  // namespace

QString LogLine(const DownloadRecord& r) {
    using msg::Id;
    return msg::QText(Id::LogDownload,
                      {KindText(r), QString::number(r.number), r.file, QString::number(r.frames),
                       QString::number(r.resendRequests), QString::number(r.timedResends),
                       QString::number(r.seconds, 'f', 1), msg::QText(WordsOf(r.outcome).log)});
}

QString StatusLine(const DownloadRecord& r) {
    using msg::Id;
    const QString number = QString::number(r.number);
    const QString frames = QString::number(r.frames);
    switch (r.outcome) {
        case RecordOutcome::Finished:
            return msg::QText(Id::StatusDownloadFinished,
                              {KindText(r), number, frames, QString::number(r.seconds, 'f', 1)});
        case RecordOutcome::Suspect:
            return msg::QText(Id::StatusDownloadSuspect, {KindText(r), number, frames});
        case RecordOutcome::Abandoned:
        case RecordOutcome::Lost:
            return msg::QText(Id::StatusDownloadFailed, {msg::QText(WordsOf(r.outcome).log)});
        case RecordOutcome::Stopped:
            break;
    }
    return msg::QText(Id::StatusDownloadStopped, {KindText(r), number, frames});
}

}  // namespace ctrl
