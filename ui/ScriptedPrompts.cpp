#include "ui/ScriptedPrompts.h"

namespace ui {

void ScriptedPrompts::Message(const QString& text) {
    messages << text;
    if (onMessage)
        onMessage(text);
}

Prompts::Answer ScriptedPrompts::Question(const QString& text) {
    questions << text;
    return answers.isEmpty() ? Answer::Cancel : answers.dequeue();
}

bool ScriptedPrompts::Confirm(const QString& text) {
    return Question(text) == Answer::Yes;
}

std::optional<QString> ScriptedPrompts::ChooseOpenFile(const FileChooser& c) {
    return Choose(c, ChooserKind::Open);
}

std::optional<QString> ScriptedPrompts::ChooseSaveFile(const FileChooser& c) {
    return Choose(c, ChooserKind::Save);
}

std::optional<QString> ScriptedPrompts::Choose(const FileChooser& c, ChooserKind kind) {
    choosers << c;
    chooserKinds << kind;
    return fileAnswers.isEmpty() ? std::nullopt : fileAnswers.dequeue();
}

}  // namespace ui
