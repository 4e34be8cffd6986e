#include "link/DownloadRun.h"

#include <QDialog>

#include "ui/Prompts.h"

namespace ctrl {

DownloadRun::DownloadRun(QDialog& dialog, ui::Prompts& prompts)
    : dialog(dialog), prompts(prompts) {}

DownloadRun::~DownloadRun() {
    // The progress window may have been given the dialog as its parent; it is our member.
    progressWindow.setParent(nullptr);
}

void DownloadRun::Start(SerialLink& port, const TransferProfile& profile, DownloadSource& source,
                        int progressRange) {
    // A finished transfer stays alive until the next start: it may have ended in its own tick.
    TransferListener& listener = *this;
    transfer = std::make_unique<TimedTransfer>(port, profile, source, listener);
    transfer->Start();
    progressWindow.setWindowModality(Qt::ApplicationModal);
    progressWindow.Open(&dialog);
    progressWindow.SetRange(progressRange);
    transfer->Engine().SetProgressRange(progressRange);
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

void DownloadRun::WindowsClosed() {
    progressWindow.hide();
    const bool finished = transfer->Engine().Outcome() == TransferOutcome::Finished;
    dialog.done(finished ? QDialog::Accepted : QDialog::Rejected);
}

void DownloadRun::Report(const QString& message) {
    prompts.Message(message);
}

}  // namespace ctrl
