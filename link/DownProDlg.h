#pragma once

#include <QDialog>
#include <QString>

#include "link/DownloadRun.h"
#include "link/ProgramSource.h"

class CSerialPort;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace ui {
class Prompts;
}

// Sends an object program to a numbered program slot of the controller. The file comes from
// Browse only; a path typed into the box is not used.
class CDownProDlg : public QDialog {
    Q_OBJECT

public:
    enum ControlId {
        kPathEditId = 1004,
        kBrowseId = 1002,
        kNumberEditId = 1064,
        kStartId = 1003,
        kCancelId = 2
    };

    explicit CDownProDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    // Set by the owner before each opening: the one port of the link.
    CSerialPort* port = nullptr;
    QString filePath;
    QString programNumberText = QStringLiteral("001");
    ctrl::ProgramSource programFile;
    ctrl::DownloadRun run;

    void Refresh();
    void Browse();
    void StartDownload();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ui::Prompts& prompts_;
    QLineEdit* pathEdit_;
    QLineEdit* numberEdit_;
    QPushButton* browseButton_;
    QPushButton* startButton_;
    QPushButton* cancelButton_;
};
