#pragma once

#include <optional>

#include <QString>

#include "ui/MfcFilter.h"

namespace ui {

struct FileChooser {
    QString defaultExtension;  // without the dot; added to a name typed without one
    QString initialFileName;
    QString filter;  // MFC style "A|*.a|B|*.b||"
    bool overwritePrompt = false;
    bool mustExist = false;
    QString title;  // empty: the chooser's own title
};

// What a dialog's "浏览" asks: a file to open, `extension` added to a bare name, and the
// overwrite question the dialogs have always asked.
inline FileChooser BrowseChooser(const QString& filter,
                                 const QString& extension = QStringLiteral("txt")) {
    FileChooser chooser;
    chooser.defaultExtension = extension;
    chooser.filter = filter;
    chooser.overwritePrompt = true;
    return chooser;
}

// What a "保存" of text asks: a file to write, `initialName` offered, ".txt" added to a bare name.
inline FileChooser TextSaveChooser(const QString& initialName, const QString& filter) {
    FileChooser chooser = BrowseChooser(filter);
    chooser.initialFileName = initialName;
    return chooser;
}

// Every message box and file chooser of the application goes through this, so tests can see
// exactly what a user would and answer for them.
class Prompts {
public:
    virtual ~Prompts() = default;

    // Modal box, caption "Tarvex620B", exclamation icon, one OK button.
    virtual void Message(const QString& text) = 0;

    enum class Answer { Yes, No, Cancel };
    // Yes/No/Cancel box with the same caption and icon.
    virtual Answer Question(const QString& text) = 0;
    // Yes/No box, No the default: for a step the user should not take by pressing Enter.
    virtual bool Confirm(const QString& text) = 0;

    // The full path of the chosen file, or nullopt when the user cancelled.
    virtual std::optional<QString> ChooseOpenFile(const FileChooser& c) = 0;
    virtual std::optional<QString> ChooseSaveFile(const FileChooser& c) = 0;
};

// Before unsaved work would be dropped: `question` is asked; Yes saves (true when the save
// did), No drops it (true), Cancel stays (false).
template <typename Save>
bool SaveFirst(Prompts& prompts, const QString& question, Save save) {
    switch (prompts.Question(question)) {
        case Prompts::Answer::Yes:
            return save();
        case Prompts::Answer::No:
            return true;
        case Prompts::Answer::Cancel:
            break;
    }
    return false;
}

inline const QString kApplicationName = QStringLiteral("Tarvex620B");

}  // namespace ui
