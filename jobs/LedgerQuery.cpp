#include "jobs/LedgerQuery.h"

#include "common/QtMessages.h"
#include "downloads/DownloadRecord.h"

namespace jobs {
namespace {

constexpr const char* kColumns[] = {"time", "station", "operator",   "job",   "unit",  "outcome",
                                    "port", "adapter", "failedStep", "trace", "golden"};

QString Cell(const QJsonValue& value) {
    const QString text = value.isDouble() ? QString::number(value.toInt()) : value.toString();
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n'))
        return text;
    return '"' + QString(text).replace('"', QStringLiteral("\"\"")) + '"';
}

struct OutcomeWords {
    const char* key;
    msg::Id text;
};

constexpr OutcomeWords kUnitOutcomes[] = {
    {"passed", msg::Id::StationPassed},
    {"failed", msg::Id::StationFailed},
    {"stopped", msg::Id::JobOutcomeStopped},
    {"interrupted", msg::Id::UnitOutcomeInterrupted},
};

}  // namespace

bool Wanted(const QJsonObject& r, const LedgerFilter& filter) {
    if (!filter.unit.isEmpty() && r.value("unit").toString() != filter.unit)
        return false;
    if (!filter.job.isEmpty() && r.value("job").toString() != filter.job)
        return false;
    if (filter.failedOnly && r.value("outcome").toString() == QLatin1String("passed"))
        return false;
    return !filter.since.isValid() ||
           QDateTime::fromString(r.value("time").toString(), Qt::ISODateWithMs) >= filter.since;
}

std::vector<QJsonObject> Filtered(const std::vector<QJsonObject>& records,
                                  const LedgerFilter& filter) {
    std::vector<QJsonObject> kept;
    for (const QJsonObject& record : records) {
        if (Wanted(record, filter))
            kept.push_back(record);
    }
    return kept;
}

std::string LedgerCsv(const std::vector<QJsonObject>& records) {
    QStringList lines{QStringList(std::begin(kColumns), std::end(kColumns)).join(',')};
    for (const QJsonObject& r : records) {
        QStringList cells;
        for (const char* column : kColumns)
            cells << Cell(r.value(column));
        lines << cells.join(',');
    }
    return (lines.join('\n') + '\n').toStdString();
}

QString StampText(const QJsonObject& stamp) {
    QStringList parts;
    for (auto it = stamp.begin(); it != stamp.end(); ++it)
        parts << it.key() + '=' + it.value().toString();
    return parts.join(' ');
}

QString UnitOutcomeText(const QString& key) {
    for (const OutcomeWords& words : kUnitOutcomes) {
        if (key == QLatin1String(words.key))
            return msg::QText(words.text);
    }
    return key;
}

QString StepOutcomeText(const QString& key) {
    return ctrl::OutcomeText(key);
}

QString RecordTimeText(const QString& isoTime) {
    const QDateTime time = QDateTime::fromString(isoTime, Qt::ISODateWithMs);
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : isoTime;
}

}  // namespace jobs
