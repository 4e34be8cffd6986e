#pragma once

#include "ui/Prompts.h"

class QFileDialog;
class QMessageBox;

namespace ui {

// The width a box's title bar needs to show its whole title.
int TitleRoom(const QMessageBox& box);

// The real boxes and choosers, parented to the active window.
class QtPrompts : public Prompts {
public:
    void Message(const QString& text) override;
    Answer Question(const QString& text) override;
    bool Confirm(const QString& text) override;
    std::optional<QString> ChooseOpenFile(const FileChooser& c) override;
    std::optional<QString> ChooseSaveFile(const FileChooser& c) override;

private:
    static std::optional<QString> RunChooser(QFileDialog& dialog, const FileChooser& c);
};

}  // namespace ui
