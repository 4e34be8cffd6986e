#pragma once

#include <functional>

#include <QDialog>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

// The small window that shows how many frames the controller has taken, how long it took and how
// long the rest will take, with "停止" to end the transfer. While it shows a transfer runs, so
// Esc and its close box ask for the stop too: it never goes away while frames go out.
class CProcessDlg : public QDialog {
    Q_OBJECT

public:
    using Clock = std::function<qint64()>;  // milliseconds, steady
    // The clock is redrawn this often, so a stall shows as time passing.
    static constexpr int kRedrawMs = 1000;
    // Without an answer for this long the window says it is waiting for the controller.
    static constexpr qint64 kStallMs = 2000;

    CProcessDlg();

    // Shows the window, titled with what runs, over the download dialog that runs the transfer.
    void Open(QWidget* owner, const QString& title);
    // The bar: 0 to `upper`.
    void SetRange(int upper);
    void SetPosition(int position);
    // The text: frames the controller has taken of all the transfer's frames.
    void SetFrames(int done, int total);
    // The time texts again, as the redraw timer does.
    void ShowDetail();

    QProgressBar* progress;
    QLabel* detail;
    QPushButton* stopButton;
    // Tests set a clock of their own.
    Clock clock;

signals:
    void StopRequested();

public slots:
    // Esc and the close box: the transfer stops, and its end closes the window.
    void reject() override;

protected:
    void hideEvent(QHideEvent* event) override;

private:
    QTimer* redraw_;
    qint64 startedMs_ = 0;
    qint64 lastFrameMs_ = 0;
    int framesDone_ = 0;
    int framesTotal_ = 0;
};
