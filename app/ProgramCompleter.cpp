#include "app/ProgramCompleter.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextBlock>

#include "app/ProblemText.h"
#include "app/ProgramHighlighter.h"
#include "compiler/InstructionTable.h"

namespace {

bool AllLetters(QStringView word) {
    for (QChar c : word) {
        const char16_t u = c.unicode();
        if (!((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')))
            return false;
    }
    return true;
}

QStringList Mnemonics() {
    QStringList names;
    for (const compiler::InstructionDescriptor& d : compiler::InstructionTable()) {
        if (!d.mnemonic.empty())
            names.append(QString::fromLatin1(d.mnemonic.data(), qsizetype(d.mnemonic.size())));
    }
    names.sort();
    names.removeDuplicates();
    return names;
}

// The word before the caret that a completion would finish, and whether it stands where the
// mnemonic goes; empty where nothing is to be completed.
struct Word {
    QStringView text;
    bool atMnemonic = false;
};

Word WordBeforeCaret(const QString& line, int position) {
    CProgramHighlighter::Scan scan;
    CProgramHighlighter::ScanLine(line, scan);
    int start = 0;
    const QStringView mnemonic =
        CProgramHighlighter::MnemonicOf(QStringView(line).left(position), &start);
    const int mnemonicEnd = start + int(mnemonic.size());
    const bool atMnemonic = mnemonicEnd == position;
    int from = position;
    while (!atMnemonic && from > mnemonicEnd &&
           (line[from - 1].isLetterOrNumber() || line[from - 1] == u'_'))
        --from;
    const QStringView word = atMnemonic ? mnemonic : QStringView(line).mid(from, position - from);
    const bool endsAtCaret =
        position <= scan.codeEnd && (position == line.size() || !line[position].isLetterOrNumber());
    const bool nameStart = !word.isEmpty() && word.front().isLetter() &&
                           (atMnemonic ? AllLetters(word) : from > mnemonicEnd);
    if (!endsAtCaret || !nameStart)
        return {};
    return {word, atMnemonic};
}

}  // namespace

ProgramCompleter::ProgramCompleter(QPlainTextEdit& editor, std::function<bool(const QString&)> fits,
                                   std::function<int()> margin)
    : editor_(editor), fits_(std::move(fits)), margin_(std::move(margin)) {
    names_ = new QStringListModel(Mnemonics(), &editor);
    completer_ = new QCompleter(names_, &editor);
    completer_->setObjectName(QStringLiteral("mnemonicCompleter"));
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    completer_->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    completer_->setWidget(&editor);
    QObject::connect(completer_, qOverload<const QString&>(&QCompleter::activated), completer_,
                     [this](const QString& completion) { Insert(completion); });
}

// Enter still ends the line unless an entry was chosen with the arrow keys; Tab takes the first.
bool ProgramCompleter::TakeKey(QKeyEvent* event) {
    QAbstractItemView* popup = completer_->popup();
    if (!popup->isVisible())
        return false;
    const bool chosen = popup->currentIndex().isValid();
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (!chosen) {
                popup->hide();
                return false;
            }
            event->ignore();
            return true;
        case Qt::Key_Tab:
            if (!chosen) {
                popup->hide();
                Insert(completer_->currentCompletion());
                return true;
            }
            event->ignore();
            return true;
        case Qt::Key_Backtab:
        case Qt::Key_Escape:
            event->ignore();
            return true;
        default:
            return false;
    }
}

void ProgramCompleter::Update(bool forced) {
    const QTextCursor cursor = editor_.textCursor();
    const QString line = cursor.block().text();
    QAbstractItemView* popup = completer_->popup();
    const Word word = WordBeforeCaret(line, cursor.positionInBlock());
    if (word.text.isEmpty() || (!forced && word.text.size() < 2)) {
        popup->hide();
        return;
    }
    // Labels are read afresh each time, as typing changes them; mnemonics never change.
    if (!word.atMnemonic || completingLabels_) {
        completingLabels_ = !word.atMnemonic;
        QStringList names = completingLabels_ ? LabelNames(*editor_.document()) : Mnemonics();
        names.sort(Qt::CaseInsensitive);
        names_->setStringList(names);
    }
    completer_->setCompletionPrefix(word.text.toString());
    if (completer_->completionCount() == 0 ||
        (!forced && completer_->completionCount() == 1 &&
         completer_->currentCompletion().compare(word.text, Qt::CaseInsensitive) == 0)) {
        popup->hide();
        return;
    }
    QRect place = editor_.cursorRect();
    place.translate(margin_(), 0);
    place.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width());
    completer_->complete(place);
}

void ProgramCompleter::Insert(const QString& completion) {
    const QString prefix = completer_->completionPrefix();
    QString rest = completion.mid(prefix.size());
    // Typed in small letters, completed in small letters; a label keeps its own spelling.
    if (!completingLabels_ && !prefix.isEmpty() && prefix == prefix.toLower())
        rest = rest.toLower();
    if (!fits_(rest)) {
        QApplication::beep();
        return;
    }
    QTextCursor cursor = editor_.textCursor();
    cursor.insertText(rest);
    editor_.setTextCursor(cursor);
}
