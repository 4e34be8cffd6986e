#include "station/RecordsWindow.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QJsonArray>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "jobs/LedgerQuery.h"
#include "jobs/UnitLedger.h"
#include "jobs/UnitReplay.h"
#include "link/VirtualControllerProcess.h"
#include "station/UnitReport.h"
#include "ui/Prompts.h"

namespace station {
namespace {

constexpr const char* kRowKeys[] = {"job", "unit", "outcome", "operator", "station"};

QString CellText(const QJsonObject& r, const char* key) {
    const QString value = r.value(QLatin1String(key)).toString();
    return qstrcmp(key, "outcome") == 0 ? jobs::UnitOutcomeText(value) : value;
}

QString StepLine(int number, const QJsonObject& s) {
    return QStringLiteral("%1. %2 %3  %4  sha256=%5  %6 B  frames=%7 resends=%8/%9  %10")
        .arg(number)
        .arg(s.value("kind").toString())
        .arg(s.value("number").toInt())
        .arg(s.value("file").toString(), s.value("sha256").toString())
        .arg(s.value("size").toInt())
        .arg(s.value("frames").toInt())
        .arg(s.value("resendRequests").toInt())
        .arg(s.value("timedResends").toInt())
        .arg(jobs::StepOutcomeText(s.value("outcome").toString()));
}

}  // namespace

RecordsWindow::RecordsWindow(ui::Prompts& prompts, QString ledgerPath, QWidget* parent)
    : QWidget(parent, Qt::Window),
      tool(ctrl::VirtualControllerProcess::ToolBesideProgram()),
      prompts(prompts),
      ledgerPath(std::move(ledgerPath)) {
    setWindowTitle(msg::QText(msg::Id::RecordsCaption));
    auto* layout = new QVBoxLayout(this);
    auto* filters = new QHBoxLayout;
    unitFilter = new QLineEdit(this);
    jobFilter = new QLineEdit(this);
    sinceOn = new QCheckBox(msg::QText(msg::Id::RecordsSince), this);
    since = new QDateEdit(QDate::currentDate(), this);
    since->setCalendarPopup(true);
    since->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    failedOnly = new QCheckBox(msg::QText(msg::Id::RecordsFailedOnly), this);
    filters->addWidget(new QLabel(msg::QText(msg::Id::RecordsUnit), this));
    filters->addWidget(unitFilter);
    filters->addWidget(new QLabel(msg::QText(msg::Id::RecordsJob), this));
    filters->addWidget(jobFilter);
    filters->addWidget(sinceOn);
    filters->addWidget(since);
    filters->addWidget(failedOnly);
    layout->addLayout(filters);

    auto* split = new QSplitter(Qt::Vertical, this);
    table = new QTableWidget(split);
    const QStringList headers = msg::QText(msg::Id::RecordsColumns).split('\n');
    table->setColumnCount(static_cast<int>(headers.size()));
    table->setHorizontalHeaderLabels(headers);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->horizontalHeader()->setStretchLastSection(true);
    details = new QPlainTextEdit(split);
    details->setReadOnly(true);
    details->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(split, 1);

    auto* buttons = new QHBoxLayout;
    exportCsv = new QPushButton(msg::QText(msg::Id::RecordsExportCsv), this);
    openTrace = new QPushButton(msg::QText(msg::Id::RecordsOpenTrace), this);
    printReport = new QPushButton(msg::QText(msg::Id::RecordsPrintReport), this);
    replay = new QPushButton(msg::QText(msg::Id::RecordsReplay), this);
    buttons->addStretch();
    for (QPushButton* b : {exportCsv, openTrace, replay, printReport})
        buttons->addWidget(b);
    layout->addLayout(buttons);

    for (QLineEdit* edit : {unitFilter, jobFilter})
        connect(edit, &QLineEdit::textChanged, this, &RecordsWindow::ApplyFilter);
    for (QCheckBox* box : {sinceOn, failedOnly})
        connect(box, &QCheckBox::toggled, this, &RecordsWindow::ApplyFilter);
    connect(since, &QDateEdit::dateChanged, this, &RecordsWindow::ApplyFilter);
    connect(table, &QTableWidget::itemSelectionChanged, this, &RecordsWindow::ShowDetails);
    connect(exportCsv, &QPushButton::clicked, this, &RecordsWindow::ExportCsv);
    connect(openTrace, &QPushButton::clicked, this, &RecordsWindow::OpenTrace);
    connect(printReport, &QPushButton::clicked, this, &RecordsWindow::PrintReport);
    connect(replay, &QPushButton::clicked, this, &RecordsWindow::Replay);
    Reload();
}

void RecordsWindow::Reload() {
    const jobs::LedgerRead read = jobs::ReadUnitLedger(ledgerPath);
    records = read.records;
    if (!read.skippedLines.empty())
        details->setPlainText(msg::QText(msg::Id::RecordsSkippedLines,
                                         {ledgerPath, QString::number(read.skippedLines.size())}));
    ApplyFilter();
}

void RecordsWindow::ApplyFilter() {
    jobs::LedgerFilter filter{unitFilter->text().trimmed(), jobFilter->text().trimmed(),
                              sinceOn->isChecked() ? since->date().startOfDay() : QDateTime(),
                              failedOnly->isChecked()};
    shown = jobs::Filtered(records, filter);
    table->clearContents();
    table->setRowCount(static_cast<int>(shown.size()));
    for (int row = 0; row < table->rowCount(); ++row) {
        const QJsonObject& r = shown[static_cast<std::size_t>(row)];
        int column = 0;
        table->setItem(row, column++,
                       new QTableWidgetItem(jobs::RecordTimeText(r.value("time").toString())));
        for (const char* key : kRowKeys)
            table->setItem(row, column++, new QTableWidgetItem(CellText(r, key)));
        table->setItem(row, column,
                       new QTableWidgetItem(jobs::StampText(r.value("stamp").toObject())));
    }
    table->resizeColumnsToContents();
    ShowDetails();
}

void RecordsWindow::SelectRow(int row) {
    table->selectRow(row);
}

const QJsonObject* RecordsWindow::Current() const {
    const int row = table->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= shown.size() ||
        table->selectedItems().isEmpty())
        return nullptr;
    return &shown[static_cast<std::size_t>(row)];
}

void RecordsWindow::ShowDetails() {
    const QJsonObject* r = Current();
    openTrace->setEnabled(r && r->contains("trace"));
    replay->setEnabled(r && r->contains("trace"));
    printReport->setEnabled(r != nullptr);
    if (!r)
        return;
    QStringList lines;
    lines << msg::QText(msg::Id::ReportTitle, {r->value("unit").toString()});
    lines << msg::QText(msg::Id::ReportApproved) + ": " + r->value("approved").toString();
    const QJsonArray steps = r->value("steps").toArray();
    for (qsizetype i = 0; i < steps.size(); ++i)
        lines << StepLine(static_cast<int>(i + 1), steps[i].toObject());
    if (r->contains("message"))
        lines << r->value("message").toString();
    if (r->contains("golden"))
        lines << msg::QText(msg::Id::ReportGolden) + ": " + r->value("golden").toString();
    details->setPlainText(lines.join('\n'));
}

QString RecordsWindow::Details() const {
    return details->toPlainText();
}

void RecordsWindow::ExportCsv() {
    ui::FileChooser chooser;
    chooser.filter = msg::QText(msg::Id::RecordsCsvFilter);
    chooser.defaultExtension = QStringLiteral("csv");
    chooser.overwritePrompt = true;
    const std::optional<QString> path = prompts.ChooseSaveFile(chooser);
    if (!path)
        return;
    if (fileio::WriteSafely(std::filesystem::path(path->toStdU16String()), jobs::LedgerCsv(shown)))
        prompts.Message(msg::QText(msg::Id::CannotWriteFile, {*path}));
}

// The kept trace is in the wire monitor's own text format, shown as it is.
void RecordsWindow::OpenTrace() {
    const QJsonObject* r = Current();
    if (!r)
        return;
    std::string text;
    const QString path = r->value("trace").toString();
    if (path.isEmpty() ||
        !fileio::ReadWholeFile(std::filesystem::path(path.toStdU16String()), text)) {
        prompts.Message(msg::QText(msg::Id::RecordsNoTrace, {r->value("unit").toString()}));
        return;
    }
    auto* view = new QPlainTextEdit(this);
    view->setWindowFlag(Qt::Window);
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setWindowTitle(path);
    view->setReadOnly(true);
    view->setLineWrapMode(QPlainTextEdit::NoWrap);
    view->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    view->setPlainText(QString::fromStdString(text));
    view->resize(900, 600);
    view->show();
}

void RecordsWindow::PrintReport() {
    const QJsonObject* r = Current();
    if (!r)
        return;
    ui::FileChooser chooser;
    chooser.filter = msg::QText(msg::Id::RecordsPdfFilter);
    chooser.defaultExtension = QStringLiteral("pdf");
    chooser.initialFileName =
        QStringLiteral("%1-%2.pdf").arg(r->value("job").toString(), r->value("unit").toString());
    chooser.overwritePrompt = true;
    const std::optional<QString> path = prompts.ChooseSaveFile(chooser);
    if (path && !WriteUnitReport(*r, *path))
        prompts.Message(msg::QText(msg::Id::CannotWriteFile, {*path}));
}

// The job is asked for: a record names the job, not where its file is.
void RecordsWindow::Replay() {
    const QJsonObject* r = Current();
    if (!r || !r->contains("trace"))
        return;
    const QJsonObject record = *r;
    ui::FileChooser chooser;
    chooser.filter = msg::QText(msg::Id::StationJobFilter);
    chooser.initialFileName = record.value("job").toString() + QStringLiteral(".tvjob");
    chooser.mustExist = true;
    const std::optional<QString> jobPath = prompts.ChooseOpenFile(chooser);
    if (!jobPath)
        return;
    ctrl::VirtualControllerProcess controller;
    if (!controller.StartReplay(tool, record.value("trace").toString())) {
        prompts.Message(controller.Error());
        return;
    }
    const jobs::UnitReplay run = jobs::ReplayUnit(std::filesystem::path(jobPath->toStdU16String()),
                                                  record, controller.DevicePath());
    if (!run.result) {
        prompts.Message(QString::fromStdString(run.fault->Text()));
        return;
    }
    const jobs::UnitResult& result = *run.result;
    QString outcome = jobs::UnitOutcomeText(QString::fromLatin1(jobs::OutcomeName(result.outcome)));
    if (result.failedStep > 0)
        outcome += QStringLiteral("  ") +
                   msg::QText(msg::Id::StationFailReason,
                              {QString::number(result.failedStep),
                               result.steps.empty() ? QString() : result.steps.back().kind,
                               QString::fromStdString(result.message)});
    details->appendPlainText(
        msg::QText(msg::Id::RecordsReplayResult, {record.value("unit").toString(), outcome}));
}

}  // namespace station
