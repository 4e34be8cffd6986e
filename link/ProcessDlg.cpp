#include "link/ProcessDlg.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QVBoxLayout>

#include "common/QtMessages.h"
#include "ui/DialogControls.h"

namespace {
// A caption without system menu: no close box, nothing but the title.
constexpr Qt::WindowFlags kFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
}  // namespace

// Control id, for the record: the bar is 1050.
CProcessDlg::CProcessDlg() : QDialog(nullptr, kFlags) {
    setWindowTitle(msg::QText(msg::Id::ProgressCaption));
    progress = new QProgressBar;
    progress->setObjectName(QStringLiteral("progress"));
    // Wide enough for the caption above it; the bar itself has no text.
    progress->setMinimumWidth(progress->fontMetrics().averageCharWidth() * 45);
    progress->setTextVisible(false);
    progress->setRange(0, 100);
    progress->setValue(0);

    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(QMargins());
    layout->addWidget(progress);
    ui::controls::SizeToContents(this, layout);
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
