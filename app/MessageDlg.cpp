#include "app/MessageDlg.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QVBoxLayout>

#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "ui/ActivityLog.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

CMessageDlg::CMessageDlg(ui::ActivityLog& log, ui::Prompts& prompts)
    : QDialog(nullptr), textEdit(new QPlainTextEdit), log_(log), prompts_(prompts) {
    namespace c = ui::controls;
    setWindowTitle(msg::QText(msg::Id::InformationCaption));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint);
    setModal(false);
    setSizeGripEnabled(true);
    textEdit->setObjectName(QStringLiteral("text"));
    textEdit->setReadOnly(true);
    textEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    textEdit->setMaximumBlockCount(static_cast<int>(ui::ActivityLog::kMaxLines));
    textEdit->setPlainText(log_.Lines().join(QLatin1Char('\n')));
    const QFontMetrics metrics(textEdit->font());
    textEdit->setMinimumSize(metrics.averageCharWidth() * 40, metrics.lineSpacing() * 5);
    saveButton_ = c::Button(msg::QText(msg::Id::LogSave), "saveButton");
    clearButton_ = c::Button(msg::QText(msg::Id::LogClear), "clearButton");
    saveButton_->setAutoDefault(false);
    clearButton_->setAutoDefault(false);

    auto* layout = new QVBoxLayout;
    layout->addWidget(textEdit, 1);
    layout->addLayout(c::ButtonRow({saveButton_, clearButton_}));
    setLayout(layout);
    resize(metrics.averageCharWidth() * 100, metrics.lineSpacing() * 16);

    connect(&log_, &ui::ActivityLog::Added, textEdit, &QPlainTextEdit::appendPlainText);
    connect(&log_, &ui::ActivityLog::Cleared, textEdit, &QPlainTextEdit::clear);
    connect(saveButton_, &QPushButton::clicked, this, &CMessageDlg::Save);
    connect(clearButton_, &QPushButton::clicked, &log_, &ui::ActivityLog::Clear);
}

void CMessageDlg::Open(QWidget* owner, const QPoint& topLeft) {
    setParent(owner, windowFlags());
    move(topLeft);
    openFlag = true;
    show();
    // The newest line, read from its start: the times stand at the left.
    textEdit->moveCursor(QTextCursor::End);
    textEdit->moveCursor(QTextCursor::StartOfLine);
    textEdit->horizontalScrollBar()->setValue(0);
}

void CMessageDlg::Save() {
    const auto chosen = prompts_.ChooseSaveFile(
        ui::TextSaveChooser(msg::QText(msg::Id::LogDefaultName), msg::QText(msg::Id::LogFilter)));
    if (!chosen)
        return;
    QString text = log_.Lines().join(QStringLiteral("\r\n"));
    if (!text.isEmpty())
        text += QStringLiteral("\r\n");
    if (fileio::WriteSafely(std::filesystem::path(chosen->toStdU16String()), text.toStdString()))
        prompts_.Message(msg::QText(msg::Id::CannotWriteFile, {*chosen}));
}

void CMessageDlg::accept() {}

void CMessageDlg::reject() {
    openFlag = false;
    QDialog::reject();
}
