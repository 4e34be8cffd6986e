#pragma once

#include <functional>

#include <QString>

class QCompleter;
class QKeyEvent;
class QPlainTextEdit;
class QStringListModel;

// Completion while typing: a mnemonic where the mnemonic goes, a label the program defines where
// an operand goes.
class ProgramCompleter {
public:
    // `fits` says whether inserting a text keeps the program within its capacity; `margin` is
    // the width left of the text (the gutter), where the list must not cover the caret.
    ProgramCompleter(QPlainTextEdit& editor, std::function<bool(const QString&)> fits,
                     std::function<int()> margin);

    QCompleter* Completer() const { return completer_; }
    // While the list shows it takes the keys that choose or dismiss: true when the editor must
    // leave the key alone.
    bool TakeKey(QKeyEvent* event);
    // Looks at the word before the caret; `forced` (Ctrl+Space) offers even a single letter.
    void Update(bool forced);

private:
    void Insert(const QString& completion);

    QPlainTextEdit& editor_;
    std::function<bool(const QString&)> fits_;
    std::function<int()> margin_;
    QStringListModel* names_;
    QCompleter* completer_;
    bool completingLabels_ = false;
};
