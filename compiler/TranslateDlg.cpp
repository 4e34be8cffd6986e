#include "compiler/TranslateDlg.h"

#include <filesystem>

#include <QApplication>
#include <QFileInfo>

#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "compiler/CompileAside.h"
#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

// A run that got no file written leaves the dialog open, so the user can choose another target
// and compile the same program again.
bool KeepsDialogOpen(compiler::CompileOutcome outcome) {
    return outcome == compiler::CompileOutcome::CannotCreate ||
           outcome == compiler::CompileOutcome::WriteFailed;
}

}  // namespace

// Control ids, for the record: path 1000, compile 1001, browse 1005, cancel 2.
CTranslateDlg::CTranslateDlg(ui::Prompts& prompts, QWidget* parent)
    : SettingsDialog(prompts, parent) {
    namespace c = ui::controls;
    setWindowTitle(msg::QText(msg::Id::CompileCaption));

    pathEdit_ = c::PathEdit("pathEdit");
    browseButton_ = c::Button(msg::QText(msg::Id::DialogBrowse), "browseButton");
    compileButton_ = c::Button(msg::QText(msg::Id::CompileButton), "compileButton");
    cancelButton_ = c::Button(msg::QText(msg::Id::DialogCancel), "cancelButton");
    compileButton_->setDefault(true);

    QGroupBox* target = c::Group(msg::QText(msg::Id::CompileTargetGroup), c::Row({pathEdit_}));
    target->setObjectName(QStringLiteral("targetGroup"));
    auto* layout = new QVBoxLayout;
    layout->addLayout(c::Row({target, browseButton_}));
    layout->addLayout(c::ButtonRow({compileButton_, cancelButton_}));
    c::SizeToContents(this, layout);
    c::TabOrder({pathEdit_, browseButton_, compileButton_, cancelButton_});

    connect(browseButton_, &QPushButton::clicked, this, &CTranslateDlg::Browse);
    connect(pathEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { settings_.targetPath = text; });
    connect(compileButton_, &QPushButton::clicked, this, &CTranslateDlg::Compile);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

QString& CTranslateDlg::DefaultObjectFileName() {
    static QString name = msg::QText(msg::Id::DefaultObjectName);
    return name;
}

void CTranslateDlg::ShowSettings() {
    pathEdit_->setText(settings_.targetPath);
}

void CTranslateDlg::Browse() {
    ui::FileChooser chooser = ui::BrowseChooser(msg::QText(msg::Id::CompileObjectFilter));
    chooser.initialFileName = DefaultObjectFileName();
    if (const auto chosen = prompts_.ChooseOpenFile(chooser)) {
        settings_.targetPath = *chosen;
        DefaultObjectFileName() = QFileInfo(*chosen).fileName();
    }
    ShowSettings();
}

void CTranslateDlg::Compile() {
    // Compiling over the open program would destroy it; the dialog stays open for another target.
    if (!settings_.documentPath.isEmpty() &&
        fileio::SameFile(std::filesystem::path(settings_.documentPath.toStdU16String()),
                         std::filesystem::path(settings_.targetPath.toStdU16String()))) {
        prompts_.Message(msg::QText(msg::Id::OutputIsInput, {settings_.targetPath}));
        return;
    }
    const compiler::CompileResult result = compiler::CompileAside(
        settings_.programText, std::filesystem::path(settings_.targetPath.toStdU16String()));
    const QString message = QString::fromStdString(
        compiler::CompileMessage(result, settings_.targetPath.toStdString()));
    lastRun_.result = result;
    lastRun_.message = message;
    ++lastRun_.count;
    if (KeepsDialogOpen(result.outcome)) {
        prompts_.Message(message);
        return;
    }
    settings_.programText.clear();
    done(Accepted);
    prompts_.Message(message);
}
