#pragma once

#include <QDialog>

class QCloseEvent;
class QProgressBar;

// The small modeless window that shows how many data packets the controller has taken. Closing
// it ends only the window; the transfer goes on.
class CProcessDlg : public QDialog {
    Q_OBJECT

public:
    CProcessDlg();

    // Shows the window over the download dialog that runs the transfer.
    void Open(QWidget* owner);
    void SetRange(int upper);
    void SetPosition(int position);

    QProgressBar* progress;

protected:
    void closeEvent(QCloseEvent* event) override;
};
