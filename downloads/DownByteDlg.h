#pragma once

#include <array>

#include <QString>

#include "downloads/DownloadRun.h"
#include "downloads/ScreenSource.h"
#include "ui/SettingsDialog.h"

class CSerialPort;
class QButtonGroup;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;

// What the controls show: the bitmap, the kind of screen, its number and its registers.
struct DownByteSettings {
    QString filePath;
    QString screenNumberText = QStringLiteral("0");
    std::array<QString, 4> registerNumberText{QStringLiteral("0"), QStringLiteral("0"),
                                              QStringLiteral("0"), QStringLiteral("0")};
    int screenKind = 0;
};

// Sends a 64 x 128 bitmap to the controller's display as a start-up, parameter or status
// screen. Unlike the other downloads, a start takes every field from its control, so a typed
// path is used.
class CDownByteDlg : public ui::SettingsDialog<DownByteSettings> {
    Q_OBJECT

public:
    // `port` is the one port of the link, borrowed for the dialog's life.
    CDownByteDlg(ui::Prompts& prompts, CSerialPort& port, QWidget* parent = nullptr);

    using Settings = DownByteSettings;

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

private:
    QLayout* MakeKindRadios();
    QLayout* MakeScreenNumberRow();
    QLayout* MakeRegisterGrid();
    void ConnectControls();
    void ShowSettings() override;
    // Each opening starts on the first control, as a dialog made anew would.
    QWidget* FirstFocus() const override;
    void ReadControls();
    bool NumbersInRange();
    void ShowAgainWith(const QString& message);

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
