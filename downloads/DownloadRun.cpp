#include "downloads/DownloadRun.h"

#include <QDialog>

#include "common/QtMessages.h"
#include "ui/Prompts.h"

namespace ctrl {

DownloadRun::DownloadRun(QDialog& dialog, ui::Prompts& prompts) : dialog(dialog), prompts(prompts) {
    QObject::connect(&progressWindow, &CProcessDlg::StopRequested, &progressWindow,
                     [this] { Stop(); });
}

DownloadRun::~DownloadRun() {
    // The progress window may have been given the dialog as its parent; it is our member.
    progressWindow.setParent(nullptr);
}

QString DownloadRun::TitleOf(const DownloadRecord& record) {
    const QString number = QString::number(record.number);
    if (record.kind == QLatin1String("program"))
        return msg::QText(msg::Id::ProgressTitleProgram, {number});
    if (record.kind == QLatin1String("params"))
        return msg::QText(msg::Id::ProgressTitleParams, {number});
    return msg::QText(msg::Id::CommandDownloadScreen);
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
    progressWindow.Open(&dialog, TitleOf(record));
    progressWindow.SetRange(progressRange);
    transfer->Engine().SetProgressRange(progressRange);
    // The header frame, then one frame per packet of the bar.
    framesTotal = progressRange + 1;
    ShowFrames();
}

void DownloadRun::ShowFrames() {
    progressWindow.SetFrames(transfer->Engine().FramesAcknowledged(), framesTotal);
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
    ShowFrames();
}

void DownloadRun::TransferEnded() {
    progressWindow.hide();
    const bool finished = transfer->Engine().Outcome() == TransferOutcome::Finished;
    record.Finish(transfer->Engine(), clock);
    if (onRecord)
        onRecord(record);
    dialog.done(finished ? QDialog::Accepted : QDialog::Rejected);
}

void DownloadRun::Report(const QString& message) {
    prompts.Message(message);
}

}  // namespace ctrl
