#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QDateTime>
#include <QJsonObject>
#include <QString>

namespace jobs {

// Which unit records to show: each given field must match; `since` is the earliest time.
struct LedgerFilter {
    QString unit;
    QString job;
    QDateTime since;
    bool failedOnly = false;
};
bool Wanted(const QJsonObject& record, const LedgerFilter& filter);
std::vector<QJsonObject> Filtered(const std::vector<QJsonObject>& records,
                                  const LedgerFilter& filter);

// The CSV of unit records: a header line, then one line per record (RFC 4180 quoting).
std::string LedgerCsv(const std::vector<QJsonObject>& records);

// "S0100=1000 S0101=7", as a line shows the stamped values.
QString StampText(const QJsonObject& stamp);

// What a person reads for a unit's outcome key ("passed" -> "合格") and for a step's outcome key;
// a key this version does not know is shown as it stands. Files and the CLI keep the keys.
QString UnitOutcomeText(const QString& key);
QString StepOutcomeText(const QString& key);
// A record's time as people read it: "2026-03-01 08:00:00".
QString RecordTimeText(const QString& isoTime);

}  // namespace jobs
