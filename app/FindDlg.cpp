#include "app/FindDlg.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QVBoxLayout>

#include "app/TarvexView.h"
#include "common/QtMessages.h"

namespace {

QString Ui(msg::Id id) {
    return msg::QText(id);
}

}  // namespace

CFindDlg::CFindDlg(CTarvexView& view, QWidget* parent) : QDialog(parent), view_(view) {
    setObjectName(QStringLiteral("findDialog"));
    setModal(false);
    findEdit = new QLineEdit(this);
    findEdit->setObjectName(QStringLiteral("findEdit"));
    replaceEdit = new QLineEdit(this);
    replaceEdit->setObjectName(QStringLiteral("replaceEdit"));
    auto* findLabel = new QLabel(Ui(msg::Id::FindWhat), this);
    findLabel->setBuddy(findEdit);
    replaceLabel_ = new QLabel(Ui(msg::Id::ReplaceWith), this);
    replaceLabel_->setBuddy(replaceEdit);
    matchCase = new QCheckBox(Ui(msg::Id::FindMatchCase), this);
    upward = new QCheckBox(Ui(msg::Id::FindUp), this);
    status = new QLabel(this);
    status->setObjectName(QStringLiteral("findStatus"));

    findNextButton = new QPushButton(Ui(msg::Id::FindNextButton), this);
    findNextButton->setDefault(true);
    replaceButton = new QPushButton(Ui(msg::Id::ReplaceButton), this);
    replaceAllButton = new QPushButton(Ui(msg::Id::ReplaceAllButton), this);
    auto* cancel = new QPushButton(Ui(msg::Id::FindCancel), this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(findEdit, 0, 1);
    grid->addWidget(replaceLabel_, 1, 0);
    grid->addWidget(replaceEdit, 1, 1);
    grid->addWidget(matchCase, 2, 0, 1, 2);
    grid->addWidget(upward, 3, 0, 1, 2);
    grid->addWidget(status, 4, 0, 1, 2);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {findNextButton, replaceButton, replaceAllButton, cancel})
        buttons->addWidget(b);
    buttons->addStretch();
    grid->addLayout(buttons, 0, 2, 5, 1);

    connect(findNextButton, &QPushButton::clicked, this, &CFindDlg::OnFindNext);
    connect(replaceButton, &QPushButton::clicked, this, &CFindDlg::OnReplace);
    connect(replaceAllButton, &QPushButton::clicked, this, &CFindDlg::OnReplaceAll);
    connect(cancel, &QPushButton::clicked, this, &QDialog::close);
    connect(findEdit, &QLineEdit::textChanged, this, [this](const QString& text) {
        findNextButton->setEnabled(!text.isEmpty());
        replaceButton->setEnabled(!text.isEmpty());
        replaceAllButton->setEnabled(!text.isEmpty());
    });
    findNextButton->setEnabled(false);
    replaceButton->setEnabled(false);
    replaceAllButton->setEnabled(false);
    // Its report goes where the user looks, and into the status bar as well.
    connect(&view_, &CTarvexView::StatusMessage, status, &QLabel::setText);
}

void CFindDlg::ShowFind(bool replace) {
    setWindowTitle(Ui(replace ? msg::Id::ReplaceCaption : msg::Id::FindCaption));
    for (QWidget* w :
         {static_cast<QWidget*>(replaceLabel_), static_cast<QWidget*>(replaceEdit),
          static_cast<QWidget*>(replaceButton), static_cast<QWidget*>(replaceAllButton)})
        w->setVisible(replace);
    const QString selected = view_.textCursor().selectedText();
    if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
        findEdit->setText(selected);
    status->clear();
    adjustSize();
    show();
    raise();
    activateWindow();
    findEdit->setFocus();
    findEdit->selectAll();
}

void CFindDlg::FindAgain(bool backward) {
    if (findEdit->text().isEmpty()) {
        ShowFind(false);
        return;
    }
    view_.Find(findEdit->text(), Flags(backward));
}

QTextDocument::FindFlags CFindDlg::Flags(bool backward) const {
    QTextDocument::FindFlags flags;
    if (matchCase->isChecked())
        flags |= QTextDocument::FindCaseSensitively;
    if (backward)
        flags |= QTextDocument::FindBackward;
    return flags;
}

void CFindDlg::OnFindNext() {
    status->clear();
    view_.Find(findEdit->text(), Flags(upward->isChecked()));
}

void CFindDlg::OnReplace() {
    status->clear();
    view_.Replace(findEdit->text(), replaceEdit->text(), Flags(upward->isChecked()));
}

void CFindDlg::OnReplaceAll() {
    status->clear();
    view_.ReplaceAll(findEdit->text(), replaceEdit->text(), Flags(false));
}
