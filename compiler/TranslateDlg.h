#pragma once

#include <QByteArray>
#include <QDialog>
#include <QString>

#include "compiler/CompileRun.h"

class QLineEdit;
class QPushButton;
class QShowEvent;

namespace ui {
class Prompts;
}

// The compile dialog: the user types or browses for the object file and compiles the program
// text the owner handed over into it.
class CTranslateDlg : public QDialog {
    Q_OBJECT

public:
    explicit CTranslateDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    struct Settings {
        // Set by the owner before each opening; a compile run consumes it. GBK bytes, CR LF.
        QByteArray programText;
        QString documentPath;
        // Follows the path box: what it shows is what the compile writes.
        QString targetPath;
    };
    Settings settings() const { return settings_; }
    // Kept for the next opening, and shown now if the dialog is open.
    void setSettings(const Settings& settings) {
        settings_ = settings;
        ShowSettings();
    }

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

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowSettings();

    Settings settings_;
    LastRun lastRun_;
    ui::Prompts& prompts_;
    QLineEdit* pathEdit_;
    QPushButton* browseButton_;
    QPushButton* compileButton_;
    QPushButton* cancelButton_;
};
