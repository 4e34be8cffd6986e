#include "app/MessageDlg.h"

#include <QLineEdit>

#include "ui/DialogControls.h"

CMessageDlg::CMessageDlg() : QDialog(nullptr), textEdit(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("信息窗口"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    const QRect size = ui::FromDialogUnits(0, 0, 180, 71);
    setFixedSize(size.size());
    textEdit->setObjectName(QStringLiteral("text"));
    textEdit->setReadOnly(true);
    textEdit->setGeometry(ui::FromDialogUnits(0, 0, 180, 70));
}

void CMessageDlg::Open(QWidget* owner, const QPoint& topLeft) {
    setParent(owner, windowFlags());
    move(topLeft);
    openFlag = true;
    show();
}

void CMessageDlg::Refresh() {
    textEdit->setText(text);
}

void CMessageDlg::accept() {}

void CMessageDlg::reject() {
    openFlag = false;
    QDialog::reject();
}

void CMessageDlg::showEvent(QShowEvent* event) {
    Refresh();
    QDialog::showEvent(event);
}
