#pragma once

#include <QByteArray>
#include <QString>

#include "compiler/CompileRun.h"
#include "ui/SettingsDialog.h"

class QLineEdit;
class QPushButton;

struct TranslateSettings {
    // Set by the owner before each opening; a compile run consumes it. GBK bytes, CR LF.
    QByteArray programText;
    QString documentPath;
    // Follows the path box: what it shows is what the compile writes.
    QString targetPath;
};

// The compile dialog: the user types or browses for the object file and compiles the program
// text the owner handed over into it.
class CTranslateDlg : public ui::SettingsDialog<TranslateSettings> {
    Q_OBJECT

public:
    using Settings = TranslateSettings;

    explicit CTranslateDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    // The last run's outcome and message, for the owner's log; `count` counts the runs.
    struct LastRun {
        compiler::CompileResult result;
        QString message;
        int count = 0;
    };
    const LastRun& lastRun() const { return lastRun_; }

    // Offered by Browse in every compile dialog; the name of the last file confirmed there.
    static QString& DefaultObjectFileName();

    void Browse();
    void Compile();

private:
    void ShowSettings() override;

    LastRun lastRun_;
    QLineEdit* pathEdit_;
    QPushButton* browseButton_;
    QPushButton* compileButton_;
    QPushButton* cancelButton_;
};
