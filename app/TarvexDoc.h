#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include "common/QtMessages.h"

class CTarvexView;

namespace ui {
class Prompts;
}

// The program document: the file's identity. The text itself lives in the view.
class CTarvexDoc : public QObject {
    Q_OBJECT

public:
    static constexpr msg::QDeferred kUntitled{msg::Id::Untitled};
    static constexpr msg::QDeferred kFilter{msg::Id::ProgramFilter};
    static inline const QString kExtension = QStringLiteral("kxc");
    static inline const QString kObjectExtension = QStringLiteral("kxo");
    // Open offers object programs too: they open as their disassembly.
    static constexpr msg::QDeferred kOpenFilter{msg::Id::ProgramOpenFilter};

    CTarvexDoc(ui::Prompts& prompts, CTarvexView& view);

    QString pathName;
    QString title = kUntitled;
    // Set while the view's text is replaced, so that does not count as a change.
    bool loading = false;

    bool IsModified() const { return modified_; }
    void SetModifiedFlag(bool modified);
    void SetPathName(const QString& path);

    void OnNewDocument();
    enum class OpenOutcome { Opened, Untouched, Emptied };
    // Reads the file into the view. Untouched: the file could not be opened, nothing changed.
    // Emptied: it was opened but not read, the document is a new empty one.
    OpenOutcome OnOpenDocument(const QString& path);
    bool OnSaveDocument(const QString& path);
    // The file just opened seemed to be UTF-8: reads its bytes so, to be saved as GBK.
    void OpenAsUtf8();

    // "保存(&S)": a document without a path is saved as.
    bool DoFileSave();
    // "另存为(&A)...": asks for the name; false when cancelled or failed.
    bool DoSave(const QString& path);
    // Before the document is left: the save question. False when the user cancelled or the save
    // failed, and the action that asked must stop.
    bool SaveModified();

signals:
    void TitleChanged(const QString& title);
    // The modified mark comes or goes.
    void ModifiedChanged(bool modified);
    // A path became the document's by open or save as: it heads the recent-file list.
    void PathUsed(const QString& path);
    // After every open or new: whether the text seems to be UTF-8 rather than GBK.
    void EncodingChecked(bool looksLikeUtf8);

private:
    void SetTitle(const QString& title);
    QString ProposedFileName() const;
    // An object program opened as a new untitled document holding its disassembly.
    OpenOutcome OpenObjectProgram(const QString& path, const QByteArray& bytes);

    ui::Prompts& prompts_;
    CTarvexView& view_;
    bool modified_ = false;
    // The bytes of a file that seemed to be UTF-8, until the user chooses.
    QByteArray utf8Bytes_;
};
