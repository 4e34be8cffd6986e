#include "link/ProcessDlg.h"

#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "common/QtMessages.h"
#include "ui/DialogControls.h"

namespace {
// A caption without system menu: no close box, nothing but the title.
constexpr Qt::WindowFlags kFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;

QString Duration(qint64 ms) {
    const qint64 seconds = (ms + 500) / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
}  // namespace

// Control id, for the record: the bar is 1050.
CProcessDlg::CProcessDlg() : QDialog(nullptr, kFlags) {
    namespace c = ui::controls;
    setWindowTitle(msg::QText(msg::Id::ProgressCaption));
    clock = [] {
        static QElapsedTimer steady;
        if (!steady.isValid())
            steady.start();
        return steady.elapsed();
    };
    progress = new QProgressBar;
    progress->setObjectName(QStringLiteral("progress"));
    // Wide enough for the caption above it; the bar itself has no text.
    progress->setMinimumWidth(progress->fontMetrics().averageCharWidth() * 45);
    progress->setTextVisible(false);
    progress->setRange(0, 100);
    progress->setValue(0);
    detail = new QLabel;
    detail->setObjectName(QStringLiteral("detail"));
    stopButton = c::Button(msg::QText(msg::Id::ProgressStop), "stopButton");
    // Enter must not stop a transfer by accident.
    stopButton->setAutoDefault(false);

    auto* row = new QHBoxLayout;
    row->addWidget(detail, 1);
    row->addWidget(stopButton);
    auto* layout = new QVBoxLayout;
    layout->addWidget(progress);
    layout->addLayout(row);
    c::SizeToContents(this, layout);
    connect(stopButton, &QPushButton::clicked, this, &CProcessDlg::StopRequested);
}

void CProcessDlg::Open(QWidget* owner) {
    setParent(owner, kFlags);
    progress->setValue(0);
    startedMs_ = clock();
    ShowDetail();
    show();
}

void CProcessDlg::SetRange(int upper) {
    // A range of nothing would turn Qt's bar into a busy indicator; it stays an empty bar.
    progress->setRange(0, upper > 0 ? upper : 1);
    progress->setValue(0);
    ShowDetail();
}

void CProcessDlg::SetPosition(int position) {
    progress->setValue(position);
    ShowDetail();
}

// Time left from the rate measured so far; before the first packet there is none to tell.
void CProcessDlg::ShowDetail() {
    const int done = progress->value();
    const int total = progress->maximum();
    const qint64 elapsed = clock() - startedMs_;
    const QString left =
        done > 0 ? Duration(elapsed * (total - done) / done) : QStringLiteral("-:--");
    detail->setText(
        msg::QText(msg::Id::ProgressDetail,
                   {QString::number(done), QString::number(total),
                    QString::number(total > 0 ? done * 100 / total : 0), Duration(elapsed), left}));
}

void CProcessDlg::closeEvent(QCloseEvent* event) {
    accept();
    event->accept();
}
