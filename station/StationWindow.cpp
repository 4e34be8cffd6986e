#include "station/StationWindow.h"

#include <cmath>

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDate>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

#include "common/QtMessages.h"
#include "jobs/JobEditing.h"
#include "jobs/UnitLedger.h"
#include "station/StationTile.h"
#include "ui/Prompts.h"

namespace station {
namespace {

QLabel* Large(QWidget* parent, double factor) {
    auto* label = new QLabel(parent);
    ScaleType(label, parent, factor, false);
    return label;
}

// Wider than tall, as screens are: 3 ports in a row, 24 in 7 columns.
int ColumnsFor(int tiles) {
    return std::clamp(static_cast<int>(std::ceil(std::sqrt(tiles * 16.0 / 9.0))), 1, tiles);
}

}  // namespace

int UnitsRecordedToday(const QString& ledgerPath, const QString& station) {
    const QString today = QDate::currentDate().toString(Qt::ISODate);
    int count = 0;
    for (const QJsonObject& record : jobs::ReadUnitLedger(ledgerPath).records) {
        if (record.value("station").toString() == station &&
            record.value("time").toString().startsWith(today))
            ++count;
    }
    return count;
}

StationWindow::StationWindow(ui::Prompts& prompts, QWidget* parent)
    : QWidget(parent, Qt::Window), prompts(prompts) {
    setWindowTitle(msg::QText(msg::Id::StationCaption));
    askPin = [this](const QString& prompt) -> std::optional<QString> {
        bool ok = false;
        const QString pin =
            QInputDialog::getText(this, windowTitle(), prompt, QLineEdit::Password, QString(), &ok);
        return ok ? std::optional(pin) : std::nullopt;
    };
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    jobLabel = Large(this, 1.3);
    operatorLabel = Large(this, 1.3);
    counters = Large(this, 1.6);
    top->addWidget(jobLabel);
    top->addWidget(operatorLabel);
    top->addStretch();
    top->addWidget(counters);
    layout->addLayout(top);

    auto* input = new QHBoxLayout;
    input->addWidget(new QLabel(msg::QText(msg::Id::StationScanner), this));
    scanner = new QLineEdit(this);
    input->addWidget(scanner, 1);
    nextUnit = new QLabel(this);
    input->addWidget(nextUnit);
    sound = new QCheckBox(msg::QText(msg::Id::StationSound), this);
    sound->setChecked(true);
    input->addWidget(sound);
    leave = new QPushButton(msg::QText(msg::Id::StationLeave), this);
    leave->setAutoDefault(false);
    input->addWidget(leave);
    layout->addLayout(input);
    notice = new QLabel(this);
    notice->setWordWrap(true);
    notice->hide();
    layout->addWidget(notice);

    grid = new QGridLayout;
    layout->addLayout(grid, 1);

    connect(scanner, &QLineEdit::returnPressed, this, &StationWindow::Scanned);
    connect(leave, &QPushButton::clicked, this, &QWidget::close);
    repaint.setInterval(kRepaintMs);
    connect(&repaint, &QTimer::timeout, this, &StationWindow::Refresh);
    setFocusProxy(scanner);
}

StationWindow::~StationWindow() {
    StopAll();
}

void StationWindow::BuildTiles(const QStringList& ports) {
    const int columns = ColumnsFor(static_cast<int>(ports.size()));
    // Every tile the same size, so none reads as more important across the room.
    for (int c = 0; c < columns; ++c)
        grid->setColumnStretch(c, 1);
    for (int r = 0; r * columns < ports.size(); ++r)
        grid->setRowStretch(r, 1);
    for (int i = 0; i < ports.size(); ++i) {
        auto* tile = new StationTile(ports[i], this);
        grid->addWidget(tile, i / columns, i % columns);
        tiles.append(tile);
        connect(tile, &StationTile::clicked, this, [this, i] {
            if (static_cast<std::size_t>(i) < workers.size())
                workers[static_cast<std::size_t>(i)]->Acknowledge();
            Refresh();
        });
    }
}

void StationWindow::ShowRefusal(const QString& why) {
    TileSnapshot refused;
    refused.state = TileState::Refused;
    refused.reason = why;
    for (StationTile* tile : tiles)
        tile->Show(refused, 0);
}

bool StationWindow::Open(const QString& jobPath, const QStringList& ports,
                         const QString& operatorName, const QString& ledgerPath) {
    const std::filesystem::path path(jobPath.toStdU16String());
    const std::string name = jobs::JobName(path);
    jobLabel->setText(msg::QText(msg::Id::StationJob, {QString::fromStdString(name)}));
    operatorLabel->setText(msg::QText(msg::Id::StationOperator, {operatorName}));
    BuildTiles(ports);
    const QString station = QSysInfo::machineHostName();
    earlierToday = UnitsRecordedToday(ledgerPath, station);
    ShowCounters();
    const jobs::JobRead read = jobs::ReadJob(path);
    if (!read.job) {
        ShowRefusal(QString::fromStdString(read.fault.Text()));
        return false;
    }
    readJob = read.job;
    jobs::Preparation prepared = jobs::PrepareJob(path, *read.job);
    // The job runs only as it was approved; the tiles say why not.
    if (!prepared.prepared) {
        ShowRefusal(QString::fromStdString(prepared.fault.Text()));
        return false;
    }
    if (read.job->approved.empty()) {
        ShowRefusal(msg::QText(msg::Id::JobNotApproved, {QString::fromStdString(name)}));
        return false;
    }
    if (!jobs::ChangedSinceApproval(*prepared.prepared).empty()) {
        ShowRefusal(msg::QText(msg::Id::JobChanged, {QString::fromStdString(name)}));
        return false;
    }
    if (!jobs::LedgerWritable(ledgerPath)) {
        ShowRefusal(msg::QText(msg::Id::JobLedgerUnwritable, {ledgerPath}));
        return false;
    }
    job = std::move(prepared.prepared);
    const std::vector<jobs::OpenUnit> interrupted =
        jobs::RecordInterruptedUnits(*job, ledgerPath, station);
    for (const QString& port : ports) {
        jobs::LoopSettings settings;
        settings.port = port;
        settings.ledger = ledgerPath;
        settings.operatorName = operatorName;
        settings.station = station;
        workers.push_back(std::make_unique<PortWorker>(*job, settings, &scanned));
        endsSeen.push_back(0);
    }
    TellInterrupted(interrupted, ports);
    for (auto& worker : workers)
        worker->Start();
    repaint.start();
    Refresh();
    return true;
}

// A unit a killed run left open is recorded as interrupted; the operator sets it aside or runs it
// again: said on its port's tile and above the tiles, until Enter.
void StationWindow::TellInterrupted(const std::vector<jobs::OpenUnit>& units,
                                    const QStringList& ports) {
    QStringList all;
    std::vector<QStringList> perPort(workers.size());
    for (const jobs::OpenUnit& unit : units) {
        const QString port = QString::fromStdString(unit.port);
        const QString text =
            msg::QText(msg::Id::StationInterrupted,
                       {QString::fromStdString(unit.stamp.unit),
                        port.isEmpty() ? msg::QText(msg::Id::StationPortUnknown) : port});
        all << text;
        if (const auto i = ports.indexOf(port); !port.isEmpty() && i >= 0)
            perPort[static_cast<std::size_t>(i)] << text;
    }
    for (std::size_t i = 0; i < workers.size(); ++i) {
        if (!perPort[i].isEmpty())
            workers[i]->SetNotice(perPort[i].join(QLatin1Char('\n')));
    }
    notice->setText(all.join(QLatin1Char('\n')));
    notice->setVisible(!all.isEmpty());
}

void StationWindow::Refresh() {
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    int passedNow = 0, failedNow = 0;
    for (std::size_t i = 0; i < workers.size(); ++i) {
        const TileSnapshot s = workers[i]->Snapshot();
        tiles[static_cast<int>(i)]->Show(s, now);
        passedNow += s.passed;
        failedNow += s.failed;
        if (s.ends != endsSeen[i]) {
            endsSeen[i] = s.ends;
            Beep(s.state == TileState::Passed);
        }
    }
    if (passedNow != passed || failedNow != failed) {
        passed = passedNow;
        failed = failedNow;
        ShowCounters();
    }
}

void StationWindow::ShowCounters() {
    counters->setText(
        msg::QText(msg::Id::StationCounters, {QString::number(passed), QString::number(failed),
                                              QString::number(earlierToday + passed + failed)}));
}

// One beep for a pass, three for a failure.
void StationWindow::Beep(bool passedUnit) {
    if (!sound->isChecked())
        return;
    QApplication::beep();
    if (passedUnit)
        return;
    QTimer::singleShot(150, this, [] { QApplication::beep(); });
    QTimer::singleShot(300, this, [] { QApplication::beep(); });
}

void StationWindow::SetSound(bool on) {
    sound->setChecked(on);
}

void StationWindow::AcknowledgeFailures() {
    for (auto& worker : workers)
        worker->Acknowledge();
    notice->clear();
    notice->hide();
    Refresh();
}

// A scanned code names the next unit; Enter alone acknowledges the failures shown.
void StationWindow::Scanned() {
    const QString code = scanner->text().trimmed();
    scanner->clear();
    if (code.isEmpty()) {
        AcknowledgeFailures();
        return;
    }
    scanned.Push(code.toStdString());
    nextUnit->setText(msg::QText(msg::Id::StationNextUnit, {code}));
}

void StationWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        AcknowledgeFailures();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool StationWindow::MayLeave() {
    if (!prompts.Confirm(msg::QText(msg::Id::StationLeaveConfirm)))
        return false;
    if (!readJob || readJob->pinSha256.empty())
        return true;
    const std::optional<QString> pin = askPin(msg::QText(msg::Id::StationPinPrompt));
    if (!pin)
        return false;
    if (jobs::PinMatches(*readJob, pin->toStdString()))
        return true;
    prompts.Message(msg::QText(msg::Id::StationPinWrong));
    return false;
}

void StationWindow::StopAll() {
    repaint.stop();
    for (auto& worker : workers)
        worker->Stop();
    workers.clear();
    endsSeen.clear();
}

void StationWindow::closeEvent(QCloseEvent* event) {
    if (!leaving && !MayLeave()) {
        event->ignore();
        return;
    }
    leaving = true;
    StopAll();
    event->accept();
    emit left();
}

}  // namespace station
