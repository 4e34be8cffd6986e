#include "downloads/ProcessDlg.h"

#include <QElapsedTimer>
#include <QHideEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include "common/QtMessages.h"
#include "ui/DialogControls.h"

namespace {
// No system menu; the close box stops the transfer like "停止".
constexpr Qt::WindowFlags kFlags =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

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
    redraw_ = new QTimer(this);
    redraw_->setInterval(kRedrawMs);
    redraw_->callOnTimeout(this, &CProcessDlg::ShowDetail);

    auto* row = new QHBoxLayout;
    row->addWidget(detail, 1);
    row->addWidget(stopButton);
    auto* layout = new QVBoxLayout;
    layout->addWidget(progress);
    layout->addLayout(row);
    c::SizeToContents(this, layout);
    connect(stopButton, &QPushButton::clicked, this, &CProcessDlg::StopRequested);
}

void CProcessDlg::Open(QWidget* owner, const QString& title) {
    setParent(owner, kFlags);
    setWindowTitle(title);
    progress->setValue(0);
    startedMs_ = clock();
    lastFrameMs_ = startedMs_;
    framesDone_ = 0;
    ShowDetail();
    show();
    redraw_->start();
}

void CProcessDlg::SetRange(int upper) {
    // A range of nothing would turn Qt's bar into a busy indicator; it stays an empty bar.
    progress->setRange(0, upper > 0 ? upper : 1);
    progress->setValue(0);
}

void CProcessDlg::SetPosition(int position) {
    progress->setValue(position);
}

void CProcessDlg::SetFrames(int done, int total) {
    if (done != framesDone_)
        lastFrameMs_ = clock();
    framesDone_ = done;
    framesTotal_ = total;
    ShowDetail();
}

// Time left from the rate measured so far; before the first frame there is none to tell.
void CProcessDlg::ShowDetail() {
    const qint64 now = clock();
    const int done = framesDone_;
    const int total = framesTotal_;
    const qint64 elapsed = now - startedMs_;
    const QString percent = QString::number(total > 0 ? done * 100 / total : 0);
    const qint64 silent = now - lastFrameMs_;
    if (silent >= kStallMs) {
        detail->setText(msg::QText(msg::Id::ProgressStalled,
                                   {QString::number(done), QString::number(total), percent,
                                    Duration(elapsed), QString::number(silent / 1000)}));
        return;
    }
    const QString left =
        done > 0 ? Duration(elapsed * (total - done) / done) : QStringLiteral("-:--");
    detail->setText(msg::QText(
        msg::Id::ProgressDetail,
        {QString::number(done), QString::number(total), percent, Duration(elapsed), left}));
}

void CProcessDlg::reject() {
    emit StopRequested();
}

void CProcessDlg::hideEvent(QHideEvent* event) {
    redraw_->stop();
    QDialog::hideEvent(event);
}
