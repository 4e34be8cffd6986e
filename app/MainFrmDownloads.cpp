#include "app/MainFrm.h"

#include <QAction>
#include <QLabel>

#include <utility>

#include "app/MainFrmParts.h"
#include "app/Tarvex.h"
#include "downloads/DownByteDlg.h"
#include "downloads/DownParDlg.h"
#include "downloads/DownProDlg.h"
#include "downloads/DownloadRecord.h"
#include "link/Link.h"
#include "screen/PictureImportDlg.h"

namespace {

using frame::OnFirstUse;
using msg::Id;

}  // namespace

template <typename Dialog>
Dialog& CMainFrame::DownloadDialog(std::unique_ptr<Dialog>& slot) {
    Dialog& dialog = OnFirstUse(slot, prompts_, app_.link->Port());
    dialog.run.onRecord = [this](const ctrl::DownloadRecord& r) { RecordDownload(r); };
    dialog.run.fastPacing = app_.link->FastTransfer();
    return dialog;
}

void CMainFrame::OnDownloadProgram() {
    DownloadDialog(downProDlg_).exec();
}

void CMainFrame::OnDownloadParams() {
    DownloadDialog(downParDlg_).exec();
}

void CMainFrame::OnDownloadScreen() {
    DownloadDialog(downByteDlg_).exec();
}

void CMainFrame::OnPictureImport() {
    CPictureImportDlg dialog(prompts_, this);
    QString bitmap;
    dialog.onDownload = [&bitmap](const QString& saved) { bitmap = saved; };
    dialog.canDownload = commands_.downloadScreen->isEnabled();
    dialog.exec();
    if (bitmap.isEmpty())
        return;
    CDownByteDlg& download = DownloadDialog(downByteDlg_);
    CDownByteDlg::Settings settings = download.settings();
    settings.filePath = bitmap;
    download.setSettings(settings);
    download.exec();
}

void CMainFrame::OnCompileAndDownload() {
    const QString object = OnCompileCurrent();
    if (object.isEmpty())
        return;
    ctrl::Link& link = *app_.link;
    if (link.IsEnabled(ctrl::LinkCommand::DownloadProgram)) {
        OpenProgramDownload(object);
        return;
    }
    // Not connected: the remembered port first; the download opens once the controller answers.
    pendingDownload_ = object;
    messagePane_->setText(msg::QText(Id::StatusConnectingForDownload, {link.PortShown()}));
    documentStatusRevision_ = -1;
    if (link.State() != ctrl::Link::LineState::Connecting)
        link.Connect();
}

void CMainFrame::ConnectedForDownload() {
    const QString object = std::exchange(pendingDownload_, QString());
    ShowReady();
    if (!object.isEmpty() && app_.link->IsEnabled(ctrl::LinkCommand::DownloadProgram))
        OpenProgramDownload(object);
}

// The message box says why in full; the status bar keeps its first line.
void CMainFrame::ConnectFailedForDownload(const QString& why) {
    if (pendingDownload_.isEmpty())
        return;
    pendingDownload_.clear();
    messagePane_->setText(msg::QText(Id::StatusDownloadFailed, {why.section(u'\n', 0, 0)}));
}

void CMainFrame::OpenProgramDownload(const QString& object) {
    CDownProDlg& dialog = DownloadDialog(downProDlg_);
    CDownProDlg::Settings settings = dialog.settings();
    settings.filePath = object;
    dialog.setSettings(settings);
    dialog.exec();
}

// The details go to the log and the ledger; the status bar has room for the outcome only.
void CMainFrame::RecordDownload(const ctrl::DownloadRecord& record) {
    app_.log.Add(ctrl::LogLine(record));
    messagePane_->setText(ctrl::StatusLine(record));
    documentStatusRevision_ = -1;
    if (ctrl::AppendToLedger(record, app_.ledgerPath)) {
        const QString failure = msg::QText(Id::LedgerNotWritten, {app_.ledgerPath});
        app_.log.Add(failure);
        messagePane_->setText(failure);
    }
}
