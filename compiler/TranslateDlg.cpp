#include "compiler/TranslateDlg.h"

#include <filesystem>

#include <QFileInfo>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>

#include "compiler/CompileMessages.h"
#include "compiler/CompileRun.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

const QString kObjectFilter = QStringLiteral("Text Files(*.kxo)|*.kxo|All Files(*.*)|*.*||");

using ui::FromDialogUnits;
using ui::controls::Button;

// A run that got no file written leaves the dialog open, so the user can choose another target
// and compile the same program again.
bool KeepsDialogOpen(compiler::CompileOutcome outcome) {
    return outcome == compiler::CompileOutcome::CannotCreate ||
           outcome == compiler::CompileOutcome::WriteFailed;
}

}  // namespace

CTranslateDlg::CTranslateDlg(ui::Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QStringLiteral("程序编译"));
    setFixedSize(FromDialogUnits(0, 0, 184, 75).size());

    auto* group = new QGroupBox(QStringLiteral("选择目标文件存放路径"), this);
    group->setObjectName(QStringLiteral("targetGroup"));
    group->setGeometry(FromDialogUnits(5, 10, 130, 30));

    pathEdit_ = new QLineEdit(this);
    pathEdit_->setObjectName(QStringLiteral("pathEdit"));
    pathEdit_->setProperty("controlId", static_cast<int>(kPathEditId));
    pathEdit_->setGeometry(FromDialogUnits(10, 21, 120, 12));

    browseButton_ = Button(this, QStringLiteral("浏览"), "browseButton", kBrowseId,
                           FromDialogUnits(140, 20, 40, 15));
    compileButton_ = Button(this, QStringLiteral("程序编译"), "compileButton", kCompileId,
                            FromDialogUnits(30, 51, 50, 14));
    cancelButton_ = Button(this, QStringLiteral("取消"), "cancelButton", kCancelId,
                           FromDialogUnits(110, 51, 50, 14));
    compileButton_->setDefault(true);

    connect(browseButton_, &QPushButton::clicked, this, &CTranslateDlg::Browse);
    connect(compileButton_, &QPushButton::clicked, this, &CTranslateDlg::Compile);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

QString& CTranslateDlg::DefaultObjectFileName() {
    static QString name = QStringLiteral("程序.kxo");
    return name;
}

void CTranslateDlg::Refresh() {
    pathEdit_->setText(targetPath);
}

void CTranslateDlg::TakeFields() {
    targetPath = pathEdit_->text();
}

int CTranslateDlg::EncodeLine(std::string line) {
    return compiler::EncodeLine(line, currentRecord);
}

void CTranslateDlg::Browse() {
    ui::FileChooser chooser;
    chooser.defaultExtension = QStringLiteral("txt");
    chooser.initialFileName = DefaultObjectFileName();
    chooser.filter = kObjectFilter;
    chooser.overwritePrompt = true;
    if (const auto chosen = prompts_.ChooseOpenFile(chooser)) {
        targetPath = *chosen;
        DefaultObjectFileName() = QFileInfo(*chosen).fileName();
    }
    Refresh();
}

void CTranslateDlg::Compile() {
    const compiler::CompileResult result =
        compiler::CompileToFile(std::string_view(programText.constData(), programText.size()),
                                std::filesystem::path(targetPath.toStdU16String()));
    const QString message =
        QString::fromStdString(compiler::CompileMessage(result, targetPath.toStdString()));
    if (KeepsDialogOpen(result.outcome)) {
        prompts_.Message(message);
        return;
    }
    programText.clear();
    done(Accepted);
    prompts_.Message(message);
}

void CTranslateDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous())
        Refresh();
    QDialog::showEvent(event);
}
