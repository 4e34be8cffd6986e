#include "app/MessageDlg.h"

#include <QVBoxLayout>

#include "common/QtMessages.h"
#include "ui/DialogControls.h"

// Control id, for the record: the text is 1048.
CMessageDlg::CMessageDlg() : QDialog(nullptr), textEdit(new ui::FittedEdit(QString(40, u'x'), 5)) {
    setWindowTitle(msg::QText(msg::Id::InformationCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setModal(false);
    textEdit->setObjectName(QStringLiteral("text"));
    textEdit->setReadOnly(true);
    auto* layout = new QVBoxLayout;
    layout->setContentsMargins(QMargins());
    layout->addWidget(textEdit);
    ui::controls::SizeToContents(this, layout);
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
