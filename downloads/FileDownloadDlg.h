#pragma once

#include <filesystem>

#include <QDialog>
#include <QString>

#include "downloads/DownloadRun.h"
#include "downloads/ProgramSource.h"

class CSerialPort;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace ui {
class Prompts;
}

// The program and parameter downloads look and behave alike: a file path (typed, pasted or
// filled in by Browse; the box shows what is sent), a number for the controller, a start and
// a cancel button. Each download says only what differs.
class CFileDownloadDlg : public QDialog {
    Q_OBJECT

public:
    // What the boxes show; they follow what is typed.
    struct Settings {
        QString filePath;
        QString numberText = QStringLiteral("001");
    };
    Settings settings() const { return settings_; }
    // Kept for the next opening, and shown now if the dialog is open.
    void setSettings(const Settings& settings) {
        settings_ = settings;
        ShowSettings();
    }

    ctrl::DownloadRun run;

    void Browse();
    void StartDownload();

protected:
    struct Look {
        QString title;
        QString fileCaption;
        QString numberCaption;
        QString filter;
    };
    // `port` is the one port of the link, borrowed for the dialog's life.
    CFileDownloadDlg(const Look& look, ui::Prompts& prompts, CSerialPort& port, QWidget* parent);

    virtual ctrl::SourceOpen OpenSource(const std::filesystem::path& path) = 0;
    // Asked once the file has opened; false leaves the dialog open without sending.
    virtual bool ConfirmSource(ui::Prompts&) { return true; }
    // Called once the file has opened: hands the number to the source and starts the run.
    virtual void Transfer(CSerialPort& port) = 0;

    void showEvent(QShowEvent* event) override;

private:
    void ShowSettings();

    Settings settings_;
    ui::Prompts& prompts_;
    CSerialPort& port_;
    QString filter_;
    QLineEdit* pathEdit_;
    QLineEdit* numberEdit_;
    QPushButton* browseButton_;
    QPushButton* startButton_;
    QPushButton* cancelButton_;
};
