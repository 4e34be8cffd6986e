#include "app/MainFrm.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QInputDialog>
#include <QLabel>
#include <QTextDocument>

#include "app/FindDlg.h"
#include "app/LoadCutDlg.h"
#include "app/MainFrmParts.h"
#include "app/MessageDlg.h"
#include "app/Tarvex.h"
#include "app/TarvexDoc.h"
#include "app/TarvexView.h"
#include "charset/SetByteDlg.h"
#include "common/FileIo.h"
#include "compiler/CompileAside.h"
#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"
#include "compiler/TranslateDlg.h"
#include "jobs/UnitLedger.h"
#include "link/Link.h"
#include "link/SetSeriesDlg.h"
#include "registers/RegisterTableWnd.h"
#include "registers/SetParDlg.h"
#include "station/RecordsWindow.h"
#include "station/StationSetupDlg.h"
#include "station/StationWindow.h"
#include "ui/Prompts.h"

namespace {

using frame::OnFirstUse;
using frame::Ui;
using msg::Id;

}  // namespace

void CMainFrame::OnCompile() {
    CTranslateDlg& dialog = OnFirstUse(translateDlg_, prompts_);
    CTranslateDlg::Settings settings = dialog.settings();
    settings.programText = view_->WholeText();
    settings.documentPath = app_.document->pathName;
    dialog.setSettings(settings);
    const int runs = dialog.lastRun().count;
    dialog.exec();
    if (dialog.lastRun().count != runs) {
        LogCompile(app_.document->title, dialog.lastRun().result, dialog.lastRun().message);
        ShowCompileFault(dialog.lastRun().result);
    }
}

// Program editor: after a compile refused a line, the editor shows it.
void CMainFrame::ShowCompileFault(const compiler::CompileResult& result) {
    if (result.outcome == compiler::CompileOutcome::LineFault ||
        result.outcome == compiler::CompileOutcome::TooManyLines)
        view_->ShowFault(result.editorLine);
}

void CMainFrame::OnRegisters() {
    const bool first = !setParDlg_;
    CSetParDlg& dialog = OnFirstUse(setParDlg_, prompts_);
    if (first)
        connect(&dialog, &CSetParDlg::Saved, this, &CMainFrame::NoteRegistersSaved);
    dialog.exec();
}

void CMainFrame::OnRegisterTable() {
    const bool first = !registerTableWnd_;
    CRegisterTableWnd& window = OnFirstUse(registerTableWnd_, prompts_, this);
    if (first) {
        connect(&window, &CRegisterTableWnd::Saved, this, &CMainFrame::NoteRegistersSaved);
        // The register file the editor works on, if it has one.
        if (setParDlg_ && !setParDlg_->settings().filePath.isEmpty())
            window.OpenFile(setParDlg_->settings().filePath);
    }
    window.show();
    window.raise();
    window.activateWindow();
}

void CMainFrame::NoteRegistersSaved(const QString& note) {
    app_.log.Add(note);
    messagePane_->setText(note);
}

void CMainFrame::OnCharacters() {
    OnFirstUse(setByteDlg_, prompts_).exec();
}

// Its menu item is never enabled, so only a command sent by other means gets here.
void CMainFrame::OnLoadCut() {
    OnFirstUse(loadCutDlg_, prompts_).exec();
}

void CMainFrame::OnSerialSettings() {
    OnFirstUse(setSeriesDlg_, *app_.link).exec();
}

// The operator's window takes the screen; the editor comes back when it is left.
void CMainFrame::OnStation() {
    ui::FileChooser chooser;
    chooser.filter = Ui(Id::StationJobFilter);
    chooser.defaultExtension = QStringLiteral("tvjob");
    chooser.mustExist = true;
    const std::optional<QString> job = prompts_.ChooseOpenFile(chooser);
    if (!job)
        return;
    station::StationSetupDlg setup(prompts_, *job, this);
    if (setup.exec() != QDialog::Accepted)
        return;
    auto* window = new station::StationWindow(prompts_);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &station::StationWindow::left, this, &QWidget::show);
    window->Open(*job, setup.settings().ports, setup.settings().operatorName,
                 jobs::DefaultUnitLedgerPath());
    window->showMaximized();
    hide();
}

void CMainFrame::OnRecords() {
    auto* window = new station::RecordsWindow(prompts_, jobs::DefaultUnitLedgerPath(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->resize(1000, 700);
    window->show();
}

QString CMainFrame::OnCompileCurrent() {
    CTarvexDoc& document = *app_.document;
    // The object goes beside the program file, so the program must have one, saved.
    if ((document.pathName.isEmpty() || document.IsModified()) && !document.SaveModified())
        return {};
    if (document.pathName.isEmpty())
        return {};
    const QFileInfo program(document.pathName);
    const QString object = program.dir().filePath(program.completeBaseName() + ".kxo");
    const std::filesystem::path target(object.toStdU16String());
    if (fileio::SameFile(std::filesystem::path(document.pathName.toStdU16String()), target)) {
        prompts_.Message(msg::QText(Id::OutputIsInput, {object}));
        return {};
    }
    const QByteArray text = view_->WholeText();
    messagePane_->setText(Ui(Id::CompileRunning));
    const compiler::CompileResult result = compiler::CompileAside(text, target);
    ShowReady();
    const QString message =
        QString::fromStdString(compiler::CompileMessage(result, object.toStdString()));
    LogCompile(document.title, result, message);
    if (result.outcome == compiler::CompileOutcome::Compiled)
        return object;
    prompts_.Message(message);
    ShowCompileFault(result);
    return {};
}

void CMainFrame::LogCompile(const QString& source, const compiler::CompileResult& result,
                            const QString& message) {
    // Records are counted only where an object program was written.
    const bool written = result.outcome == compiler::CompileOutcome::Compiled ||
                         result.outcome == compiler::CompileOutcome::MissingEnd;
    app_.log.Add(
        written ? msg::QText(Id::LogCompile, {source, message, QString::number(result.records)})
                : msg::QText(Id::LogCompileNoObject, {source, message}));
    ShowDocumentStatus(message);
}

void CMainFrame::OnInfoWindow() {
    if (!messageDlg_) {
        messageDlg_ = std::make_unique<CMessageDlg>(app_.log, prompts_);
        connect(messageDlg_.get(), &QDialog::finished, commands_.infoWindow,
                [this] { commands_.infoWindow->setEnabled(true); });
    }
    if (messageDlg_->openFlag)
        return;
    commands_.infoWindow->setEnabled(false);
    messageDlg_->Open(view_, view_->mapToGlobal(QPoint(0, 0)));
}

CFindDlg& CMainFrame::FindDialog() {
    if (!findDlg_)
        findDlg_ = new CFindDlg(*view_, this);
    return *findDlg_;
}

void CMainFrame::OnGoToLine() {
    const int lines = view_->document()->blockCount();
    QInputDialog ask(this);
    ask.setObjectName(QStringLiteral("goToLineDialog"));
    ask.setWindowTitle(Ui(Id::GoToCaption));
    ask.setLabelText(msg::QText(Id::GoToLabel, {QString::number(lines)}));
    ask.setInputMode(QInputDialog::IntInput);
    ask.setIntRange(1, lines);
    ask.setIntValue(view_->textCursor().blockNumber() + 1);
    if (ask.exec() == QDialog::Accepted) {
        view_->GoToLine(ask.intValue());
        view_->setFocus();
    }
}
