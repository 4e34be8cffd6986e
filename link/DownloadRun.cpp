#include "link/DownloadRun.h"

#include <QApplication>
#include <QDialog>
#include <QWidget>

#include "ui/Prompts.h"

namespace ctrl {

DownloadRun::DownloadRun(QDialog& dialog, ui::Prompts& prompts) : dialog(dialog), prompts(prompts) {
    // The hidden dialog no longer holds the application modal, and the progress window may be
    // closed before the transfer ends: the windows stay locked until then, so that nothing else
    // (a second download, a disconnect, an edit restarting the session) reaches the port.
    QObject::connect(&progressWindow, &QDialog::finished, &progressWindow, [this] {
        if (IsRunning())
            LockWindows();
    });
    QObject::connect(&progressWindow, &CProcessDlg::StopRequested, &progressWindow,
                     [this] { Stop(); });
}

DownloadRun::~DownloadRun() {
    UnlockWindows();
    // The progress window may have been given the dialog as its parent; it is our member.
    progressWindow.setParent(nullptr);
}

// Every window the user could reach, as a modal loop would hold them.
void DownloadRun::LockWindows() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->isEnabled() && window != &progressWindow) {
            window->setEnabled(false);
            lockedWindows.append(window);
        }
    }
}

void DownloadRun::UnlockWindows() {
    for (const QPointer<QWidget>& window : std::as_const(lockedWindows)) {
        if (window)
            window->setEnabled(true);
    }
    lockedWindows.clear();
}

void DownloadRun::Start(SerialLink& port, const TransferProfile& profile, DownloadSource& source,
                        int progressRange) {
    // A finished transfer stays alive until the next start: it may have ended in its own tick.
    record.Describe(source.Snapshot());
    clock.start();
    TransferListener& listener = *this;
    transfer = std::make_unique<TimedTransfer>(port, profile, source, listener,
                                               ticks ? ticks(profile.periodMs) : nullptr);
    if (fastPacing)
        transfer->PaceByAnswers();
    transfer->Start();
    progressWindow.setWindowModality(Qt::ApplicationModal);
    progressWindow.Open(&dialog);
    progressWindow.SetRange(progressRange);
    transfer->Engine().SetProgressRange(progressRange);
}

void DownloadRun::Stop() {
    if (IsRunning())
        transfer->Stop();
}

bool DownloadRun::IsRunning() const {
    return transfer && transfer->IsRunning();
}

const TransferEngine* DownloadRun::Engine() const {
    return transfer ? &transfer->Engine() : nullptr;
}

void DownloadRun::ProgressMoved(int position) {
    progressWindow.SetPosition(position);
}

void DownloadRun::TransferEnded() {
    UnlockWindows();
    progressWindow.hide();
    const bool finished = transfer->Engine().Outcome() == TransferOutcome::Finished;
    record.time = QDateTime::currentDateTime();
    record.seconds = static_cast<double>(clock.elapsed()) / 1000.0;
    record.Take(transfer->Engine());
    if (onRecord)
        onRecord(record);
    dialog.done(finished ? QDialog::Accepted : QDialog::Rejected);
}

void DownloadRun::Report(const QString& message) {
    prompts.Message(message);
}

}  // namespace ctrl
