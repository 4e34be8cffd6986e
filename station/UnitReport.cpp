#include "station/UnitReport.h"

#include <QJsonArray>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include "common/QtMessages.h"
#include "jobs/LedgerQuery.h"

namespace station {
namespace {

QString Row(msg::Id label, const QString& value) {
    return QStringLiteral("<tr><th align=left>%1</th><td>%2</td></tr>")
        .arg(msg::QText(label), value.toHtmlEscaped());
}

QString Cells(const QStringList& cells, const char* tag) {
    QString row = QStringLiteral("<tr>");
    for (const QString& cell : cells)
        row += QStringLiteral("<%1>%2</%1>").arg(QLatin1String(tag), cell.toHtmlEscaped());
    return row + QStringLiteral("</tr>");
}

QString Value(const QJsonObject& o, const char* key) {
    const QJsonValue v = o.value(QLatin1String(key));
    return v.isDouble() ? QString::number(v.toDouble()) : v.toString();
}

}  // namespace

QString UnitReportHtml(const QJsonObject& r) {
    QString html = QStringLiteral("<h2>%1</h2><table cellpadding=3>")
                       .arg(msg::QText(msg::Id::ReportTitle, {Value(r, "unit")}).toHtmlEscaped());
    html += Row(msg::Id::ReportJob, Value(r, "job"));
    html += Row(msg::Id::ReportApproved, Value(r, "approved"));
    html += Row(msg::Id::ReportStamp, jobs::StampText(r.value("stamp").toObject()));
    html += Row(msg::Id::ReportOperator, Value(r, "operator"));
    html += Row(msg::Id::ReportStation, Value(r, "station"));
    html += Row(msg::Id::ReportTime, jobs::RecordTimeText(Value(r, "time")));
    html += Row(msg::Id::ReportOutcome, jobs::UnitOutcomeText(Value(r, "outcome")));
    if (r.contains("golden"))
        html += Row(msg::Id::ReportGolden, Value(r, "golden"));
    html += QStringLiteral("</table><br><table border=1 cellspacing=0 cellpadding=2>");
    html += Cells(msg::QText(msg::Id::ReportStepColumns).split('\n'), "th");
    const QJsonArray steps = r.value("steps").toArray();
    for (qsizetype i = 0; i < steps.size(); ++i) {
        const QJsonObject s = steps[i].toObject();
        html += Cells(
            {QString::number(i + 1), Value(s, "kind"), Value(s, "number"), Value(s, "file"),
             Value(s, "sha256"), Value(s, "size"), Value(s, "frames"), Value(s, "resendRequests"),
             Value(s, "timedResends"), jobs::StepOutcomeText(Value(s, "outcome"))},
            "td");
    }
    return html + QStringLiteral("</table>");
}

bool WriteUnitReport(const QJsonObject& record, const QString& pdfPath) {
    QSaveFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    QPdfWriter pdf(&file);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setPageOrientation(QPageLayout::Landscape);
    pdf.setTitle(msg::QText(msg::Id::ReportTitle, {Value(record, "unit")}));
    QTextDocument document;
    document.setHtml(UnitReportHtml(record));
    document.print(&pdf);
    return file.commit();
}

}  // namespace station
