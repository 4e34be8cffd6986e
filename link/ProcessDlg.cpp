#include "link/ProcessDlg.h"

#include <QCloseEvent>
#include <QProgressBar>

#include "ui/DialogControls.h"

namespace {
// A caption without system menu: no close box, nothing but the title.
constexpr Qt::WindowFlags kFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
}  // namespace

CProcessDlg::CProcessDlg() : QDialog(nullptr, kFlags) {
    setWindowTitle(QStringLiteral("消息窗口"));
    setFixedSize(ui::FromDialogUnits(0, 0, 170, 15).size());
    progress = new QProgressBar(this);
    progress->setObjectName(QStringLiteral("progress"));
    progress->setProperty("controlId", static_cast<int>(kProgressId));
    progress->setGeometry(ui::FromDialogUnits(0, 0, 170, 15));
    progress->setTextVisible(false);
    progress->setRange(0, 100);
    progress->setValue(0);
}

void CProcessDlg::Open(QWidget* owner) {
    setParent(owner, kFlags);
    progress->setValue(0);
    show();
}

void CProcessDlg::SetRange(int upper) {
    // A range of nothing would turn Qt's bar into a busy indicator; it stays an empty bar.
    progress->setRange(0, upper > 0 ? upper : 1);
    progress->setValue(0);
}

void CProcessDlg::SetPosition(int position) {
    progress->setValue(position);
}

void CProcessDlg::closeEvent(QCloseEvent* event) {
    accept();
    event->accept();
}
