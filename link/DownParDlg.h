#pragma once

#include <QDialog>
#include <QString>

#include "link/DownloadRun.h"
#include "link/ParameterSource.h"

class CSerialPort;
class QLineEdit;
class QPushButton;
class QShowEvent;

namespace ui {
class Prompts;
}

// Sends the values of a register file to a numbered parameter page of the controller. The file
// comes from Browse only; a path typed into the box is not used.
class CDownParDlg : public QDialog {
    Q_OBJECT

public:
    enum ControlId {
        kPathEditId = 1004,
        kBrowseId = 1002,
        kNumberEditId = 1118,
        kStartId = 1003,
        kCancelId = 2
    };

    explicit CDownParDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    // Set by the owner before each opening: the one port of the link.
    CSerialPort* port = nullptr;
    QString filePath;
    QString pageText = QStringLiteral("001");
    ctrl::ParameterSource registerFile;
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
