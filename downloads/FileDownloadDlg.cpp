#include "downloads/FileDownloadDlg.h"

#include <QLabel>
#include <QShowEvent>

#include "common/QtMessages.h"
#include "downloads/DownloadMessages.h"
#include "link/SerialPort.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

// Control ids, for the record: path 1004, browse 1002, start 1003, cancel 2; the number box
// is 1064 for programs and 1118 for parameters.
CFileDownloadDlg::CFileDownloadDlg(const Look& look, ui::Prompts& prompts, CSerialPort& port,
                                   QWidget* parent)
    : QDialog(parent), run(*this, prompts), prompts_(prompts), port_(port), filter_(look.filter) {
    namespace c = ui::controls;
    setWindowTitle(look.title);

    pathEdit_ = c::PathEdit("pathEdit");
    browseButton_ = c::Button(msg::QText(msg::Id::DialogBrowse), "browseButton");
    numberEdit_ = c::Field(QStringLiteral("numberEdit"), QStringLiteral("0000"), 4);
    startButton_ = c::Button(msg::QText(msg::Id::DialogStartDownload), "startButton");
    cancelButton_ = c::Button(msg::QText(msg::Id::DialogCancel), "cancelButton");
    startButton_->setDefault(true);

    auto* number = new QHBoxLayout;
    number->addWidget(new QLabel(look.numberCaption));
    number->addStretch();
    number->addWidget(numberEdit_);
    auto* layout = new QVBoxLayout;
    layout->addLayout(c::Row({c::Group(look.fileCaption, c::Row({pathEdit_})), browseButton_}));
    layout->addWidget(c::Group(QString(), number));
    layout->addLayout(c::ButtonRow({startButton_, cancelButton_}));
    c::SizeToContents(this, layout);
    c::TabOrder({pathEdit_, browseButton_, numberEdit_, startButton_, cancelButton_});

    connect(numberEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { settings_.numberText = text; });
    connect(pathEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { settings_.filePath = text; });
    connect(browseButton_, &QPushButton::clicked, this, &CFileDownloadDlg::Browse);
    connect(startButton_, &QPushButton::clicked, this, &CFileDownloadDlg::StartDownload);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void CFileDownloadDlg::ShowSettings() {
    pathEdit_->setText(settings_.filePath);
    numberEdit_->setText(settings_.numberText);
}

void CFileDownloadDlg::Browse() {
    if (const auto chosen = prompts_.ChooseOpenFile(ui::BrowseChooser(filter_)))
        settings_.filePath = *chosen;
    ShowSettings();
}

void CFileDownloadDlg::StartDownload() {
    switch (OpenSource(std::filesystem::path(settings_.filePath.toStdU16String()))) {
        case ctrl::SourceOpen::CannotOpen:
            prompts_.Message(
                QString::fromStdString(ctrl::CannotOpenMessage(settings_.filePath.toStdString())));
            return;
        case ctrl::SourceOpen::BadFormat:
            prompts_.Message(msg::QText(msg::Id::FileFormatError));
            return;
        case ctrl::SourceOpen::Opened:
            break;
    }
    if (!ConfirmSource(prompts_))
        return;
    hide();
    Transfer(port_);
}

void CFileDownloadDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        ShowSettings();
        // Each opening starts on the first control, as a dialog made anew would.
        pathEdit_->setFocus();
    }
    QDialog::showEvent(event);
}
