#pragma once

#include <array>

#include <QDialog>
#include <QString>

#include "downloads/DownloadRun.h"
#include "downloads/ScreenSource.h"

class CSerialPort;
class QButtonGroup;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace ui {
class Prompts;
}

// Sends a 64 x 128 bitmap to the controller's display as a start-up, parameter or status
// screen. Unlike the other downloads, a start takes every field from its control, so a typed
// path is used.
class CDownByteDlg : public QDialog {
    Q_OBJECT

public:
    // `port` is the one port of the link, borrowed for the dialog's life.
    CDownByteDlg(ui::Prompts& prompts, CSerialPort& port, QWidget* parent = nullptr);

    // What the controls show: the bitmap, the kind of screen, its number and its registers.
    struct Settings {
        QString filePath;
        QString screenNumberText = QStringLiteral("0");
        std::array<QString, 4> registerNumberText{QStringLiteral("0"), QStringLiteral("0"),
                                                  QStringLiteral("0"), QStringLiteral("0")};
        int screenKind = 0;
    };
    Settings settings() const { return settings_; }
    // Kept for the next opening, and shown now if the dialog is open.
    void setSettings(const Settings& settings) {
        settings_ = settings;
        ShowSettings();
    }

    // The screen data file; the per-user application data folder unless the owner says otherwise.
    QString scratchPath;
    ctrl::ScreenSource screenDataFile;
    ctrl::DownloadRun run;

    void Browse();
    void StartDownload();
    // The picture import, opened on `picture` when given; a bitmap it saves becomes the file.
    void OpenImport(const QString& picture = QString());
    // The bitmap in the path box as the display will show it; blank when it is none.
    void ShowPreview();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QLayout* MakeKindRadios();
    QLayout* MakeScreenNumberRow();
    QLayout* MakeRegisterGrid();
    void ConnectControls();
    void ShowSettings();
    void ReadControls();
    bool NumbersInRange();
    void ShowAgainWith(const QString& message);

    Settings settings_;
    ui::Prompts& prompts_;
    CSerialPort& port_;
    QLineEdit* pathEdit_;
    QLineEdit* screenNumberEdit_;
    std::array<QLineEdit*, 4> registerEdits_{};
    QButtonGroup* kindGroup_;
    QPushButton* browseButton_;
    QPushButton* startButton_;
    QPushButton* cancelButton_;
    QPushButton* importButton_;
    QLabel* previewView_;
};
