#pragma once

#include <functional>

#include <QDialog>

class QCloseEvent;
class QLabel;
class QProgressBar;
class QPushButton;

// The small modeless window that shows how many data packets the controller has taken, how long
// it took and how long the rest will take, with "停止" to end the transfer. Closing it ends only
// the window; the transfer goes on.
class CProcessDlg : public QDialog {
    Q_OBJECT

public:
    using Clock = std::function<qint64()>;  // milliseconds, steady

    CProcessDlg();

    // Shows the window over the download dialog that runs the transfer.
    void Open(QWidget* owner);
    void SetRange(int upper);
    void SetPosition(int position);

    QProgressBar* progress;
    QLabel* detail;
    QPushButton* stopButton;
    // Tests set a clock of their own.
    Clock clock;

signals:
    void StopRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowDetail();

    qint64 startedMs_ = 0;
};
