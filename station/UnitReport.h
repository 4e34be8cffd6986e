#pragma once

#include <QJsonObject>
#include <QString>

namespace station {

// A unit's sheet for its customer: job, approval hash, unit, stamped values, each step's file
// hash and outcome, operator, station and time.
QString UnitReportHtml(const QJsonObject& record);
// Writes the sheet as a PDF; false when the file could not be written.
bool WriteUnitReport(const QJsonObject& record, const QString& pdfPath);

}  // namespace station
