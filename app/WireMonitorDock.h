#pragma once

#include <chrono>
#include <memory>

#include <QDockWidget>
#include <QStringList>

class CSerialPort;
class QLabel;
class QPlainTextEdit;
class QTimer;

namespace ui {
class Prompts;
}
namespace wire {
class Recorder;
}

// "串口监视": every byte the port writes and reads, timed from the last connect, in hex with its
// meaning. Lines reach the view in batches, so a fast transfer never repaints per byte.
class CWireMonitorDock : public QDockWidget {
    Q_OBJECT

public:
    static constexpr int kBatchMs = 100;

    CWireMonitorDock(CSerialPort& port, ui::Prompts& prompts, QWidget* parent = nullptr);
    ~CWireMonitorDock() override;

    // Times start again from zero, as at the start of a session.
    void Restart();
    void Save();
    void Clear();
    // Shows the lines that came since the last batch.
    void ShowPending();

    const wire::Recorder& Recorder() const { return *recorder_; }
    QPlainTextEdit* View() const { return view_; }

private:
    CSerialPort& port_;
    ui::Prompts& prompts_;
    std::unique_ptr<wire::Recorder> recorder_;
    std::chrono::steady_clock::time_point origin_;
    QStringList pending_;
    QPlainTextEdit* view_;
    QLabel* count_;
    QTimer* batch_;
};
