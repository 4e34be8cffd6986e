#include "app/MessageDlg.h"

#include <QLineEdit>

#include "link/DialogUnits.h"

CMessageDlg::CMessageDlg() : QDialog(nullptr), textEdit(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("信息窗口"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    const QRect size = ctrl::FromDialogUnits(0, 0, 180, 71);
    setFixedSize(size.size());
    textEdit->setObjectName(QStringLiteral("text"));
    textEdit->setReadOnly(true);
    textEdit->setGeometry(ctrl::FromDialogUnits(0, 0, 180, 70));
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
