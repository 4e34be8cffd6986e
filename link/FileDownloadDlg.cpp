#include "link/FileDownloadDlg.h"

#include <QShowEvent>

#include "link/DownloadMessages.h"
#include "link/SerialPort.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

CFileDownloadDlg::CFileDownloadDlg(const Look& look, ui::Prompts& prompts, CSerialPort& port,
                                   QWidget* parent)
    : QDialog(parent), run(*this, prompts), prompts_(prompts), port_(port), filter_(look.filter) {
    using ui::FromDialogUnits;
    namespace c = ui::controls;
    setWindowTitle(look.title);
    setFixedSize(FromDialogUnits(0, 0, 189, 90).size());

    c::Group(this, look.fileCaption, FromDialogUnits(9, 10, 130, 30));
    pathEdit_ = c::Edit(this, "pathEdit", kPathEditId, FromDialogUnits(10, 21, 120, 12));
    browseButton_ = c::Button(this, QStringLiteral("浏览"), "browseButton", kBrowseId,
                              FromDialogUnits(142, 19, 40, 15));
    c::Group(this, QString(), FromDialogUnits(9, 39, 130, 24));
    c::Label(this, look.numberCaption, FromDialogUnits(15, 49, 75, 10));
    numberEdit_ =
        c::Edit(this, "numberEdit", look.numberEditId, FromDialogUnits(98, 47, 27, 12), 4);
    startButton_ = c::Button(this, QStringLiteral("开始下载"), "startButton", kStartId,
                             FromDialogUnits(30, 69, 50, 14));
    cancelButton_ = c::Button(this, QStringLiteral("取消"), "cancelButton", kCancelId,
                              FromDialogUnits(110, 69, 50, 14));
    startButton_->setDefault(true);

    connect(numberEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { NumberText() = text; });
    connect(browseButton_, &QPushButton::clicked, this, &CFileDownloadDlg::Browse);
    connect(startButton_, &QPushButton::clicked, this, &CFileDownloadDlg::StartDownload);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void CFileDownloadDlg::Refresh() {
    pathEdit_->setText(filePath);
    numberEdit_->setText(NumberText());
}

void CFileDownloadDlg::Browse() {
    ui::FileChooser chooser;
    chooser.defaultExtension = QStringLiteral("txt");
    chooser.filter = filter_;
    chooser.overwritePrompt = true;
    if (const auto chosen = prompts_.ChooseOpenFile(chooser))
        filePath = *chosen;
    Refresh();
}

void CFileDownloadDlg::StartDownload() {
    switch (OpenSource(std::filesystem::path(filePath.toStdU16String()))) {
        case ctrl::SourceOpen::CannotOpen:
            prompts_.Message(
                QString::fromStdString(ctrl::CannotOpenMessage(filePath.toStdString())));
            return;
        case ctrl::SourceOpen::BadFormat:
            prompts_.Message(QString::fromUtf8(ctrl::kFileFormatMessage.data(),
                                               ctrl::kFileFormatMessage.size()));
            return;
        case ctrl::SourceOpen::Opened:
            break;
    }
    hide();
    Transfer(port_);
}

void CFileDownloadDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Refresh();
        // Each opening starts on the first control, as a dialog made anew would.
        pathEdit_->setFocus();
    }
    QDialog::showEvent(event);
}
