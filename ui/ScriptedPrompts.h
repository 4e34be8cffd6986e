#pragma once

#include <functional>

#include <QList>
#include <QQueue>
#include <QStringList>

#include "ui/Prompts.h"

namespace ui {

// A stand-in for tests: records what the user would have seen and answers from queues. An empty
// queue answers as a user who cancels.
class ScriptedPrompts : public Prompts {
public:
    enum class ChooserKind { Open, Save };

    QStringList messages;
    QStringList questions;
    QList<FileChooser> choosers;
    QList<ChooserKind> chooserKinds;
    QQueue<std::optional<QString>> fileAnswers;
    QQueue<Answer> answers;
    // Called as each message is shown, to look at the state of the program at that moment.
    std::function<void(const QString&)> onMessage;

    void Message(const QString& text) override;
    Answer Question(const QString& text) override;
    // Recorded with the questions; Yes from the queue confirms, anything else (or none) declines.
    bool Confirm(const QString& text) override;
    std::optional<QString> ChooseOpenFile(const FileChooser& c) override;
    std::optional<QString> ChooseSaveFile(const FileChooser& c) override;

private:
    std::optional<QString> Choose(const FileChooser& c, ChooserKind kind);
};

}  // namespace ui
