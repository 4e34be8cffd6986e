#pragma once

#include <functional>
#include <memory>

#include <QString>

#include <QElapsedTimer>

#include "downloads/DownloadRecord.h"
#include "downloads/ProcessDlg.h"
#include "link/TimedTransfer.h"

class QDialog;

namespace ui {
class Prompts;
}

namespace ctrl {

// What the three download dialogs share once their own checks have passed: the timed transfer
// over the shared port, the progress window, and the end that closes the dialog. The progress
// window is application-modal while the dialog is hidden, so nothing else can be started, and it
// goes only when the transfer ends (Esc and its close box stop the transfer).
class DownloadRun : private TransferListener {
public:
    DownloadRun(QDialog& dialog, ui::Prompts& prompts);
    ~DownloadRun() override;
    DownloadRun(const DownloadRun&) = delete;
    DownloadRun& operator=(const DownloadRun&) = delete;

    // Starts the timer, sends the start byte, shows the progress window and sets its range.
    void Start(SerialLink& port, const TransferProfile& profile, DownloadSource& source,
               int progressRange);
    bool IsRunning() const;
    // The progress window's "停止": ends the transfer between two ticks.
    void Stop();
    // The engine of the last transfer started; null before the first.
    const TransferEngine* Engine() const;
    // What the progress window's title says runs: "下载程序 1", "下载参数 第 0 页", "下载液晶画面".
    static QString TitleOf(const DownloadRecord& record);

    CProcessDlg progressWindow;
    // The dialog names the kind, number, file and port before Start; the run adds the rest and
    // hands the record over as the transfer ends.
    DownloadRecord record;
    std::function<void(const DownloadRecord&)> onRecord;
    // Paces each transfer; empty for the profile's precise timer.
    TickSourceFactory ticks;
    // Sends each next frame on the answer instead of the next tick ("快速传输").
    bool fastPacing = false;

private:
    void ProgressMoved(int position) override;
    void TransferEnded() override;
    void Report(const QString& message) override;
    void ShowFrames();

    QDialog& dialog;
    ui::Prompts& prompts;
    std::unique_ptr<TimedTransfer> transfer;
    int framesTotal = 0;
    QElapsedTimer clock;
};

}  // namespace ctrl
