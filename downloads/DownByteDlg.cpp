#include "downloads/DownByteDlg.h"

#include <filesystem>
#include <string>

#include <QButtonGroup>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>

#include "common/DecimalValue.h"
#include "common/FileIo.h"
#include "common/QtMessages.h"
#include "downloads/DownloadMessages.h"
#include "downloads/ScratchPath.h"
#include "link/SerialPort.h"
#include "screen/PictureImport.h"
#include "screen/PictureImportDlg.h"
#include "screen/ScreenImage.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

std::int32_t DecimalValue(const QString& text) {
    return text::DecimalValue(text.toStdString());
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path PathOf(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

}  // namespace

// Control ids, for the record: path 1004, browse 1002, the kinds 1125, 1126 and 1128, screen
// number 1063, registers 1064 to 1067, start 1003, cancel 2.
CDownByteDlg::CDownByteDlg(ui::Prompts& prompts, CSerialPort& port, QWidget* parent)
    : SettingsDialog(prompts, parent),
      scratchPath(ctrl::DefaultScratchPath()),
      run(*this, prompts),
      port_(port) {
    namespace c = ui::controls;
    setWindowTitle(msg::QText(msg::Id::ScreenDownloadCaption));

    pathEdit_ = c::PathEdit("pathEdit");
    browseButton_ = c::Button(msg::QText(msg::Id::DialogBrowse), "browseButton");

    QLayout* kinds = MakeKindRadios();
    QLayout* number = MakeScreenNumberRow();
    QLayout* registers = MakeRegisterGrid();

    startButton_ = c::Button(msg::QText(msg::Id::DialogStartDownload), "startButton");
    cancelButton_ = c::Button(msg::QText(msg::Id::DialogCancel), "cancelButton");
    startButton_->setDefault(true);
    importButton_ = c::Button(msg::QText(msg::Id::ScreenDownloadImport), "importButton");
    previewView_ = new QLabel;
    previewView_->setObjectName(QStringLiteral("previewView"));
    previewView_->setFixedSize(screen::kRowBytes * 8, screen::kRows);
    previewView_->setFrameShape(QFrame::Box);

    auto* layout = new QGridLayout;
    layout->addWidget(c::Group(msg::QText(msg::Id::ScreenDownloadFileGroup), c::Row({pathEdit_})),
                      0, 0);
    layout->addWidget(browseButton_, 0, 1);
    layout->addWidget(c::Group(msg::QText(msg::Id::ScreenKindGroup), kinds), 1, 0);
    layout->addWidget(startButton_, 1, 1);
    layout->addWidget(c::Group(QString(), number), 2, 0);
    layout->addWidget(cancelButton_, 2, 1);
    layout->addWidget(c::Group(msg::QText(msg::Id::ScreenRegistersGroup), registers), 3, 0);
    layout->addWidget(importButton_, 3, 1, Qt::AlignTop);
    layout->addWidget(
        c::Group(msg::QText(msg::Id::ScreenDownloadPreviewGroup), c::Row({previewView_})), 0, 2, 4,
        1, Qt::AlignTop);
    c::SizeToContents(this, layout);
    c::TabOrder({pathEdit_, browseButton_, kindGroup_->button(0), kindGroup_->button(1),
                 kindGroup_->button(2), screenNumberEdit_, registerEdits_[0], registerEdits_[1],
                 registerEdits_[2], registerEdits_[3], startButton_, cancelButton_, importButton_});
    ConnectControls();
}

void CDownByteDlg::ConnectControls() {
    connect(pathEdit_, &QLineEdit::textChanged, this, &CDownByteDlg::ShowPreview);
    connect(importButton_, &QPushButton::clicked, this, [this] {
        ReadControls();
        OpenImport();
    });

    connect(screenNumberEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { settings_.screenNumberText = text; });
    connect(browseButton_, &QPushButton::clicked, this, &CDownByteDlg::Browse);
    connect(startButton_, &QPushButton::clicked, this, &CDownByteDlg::StartDownload);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

QLayout* CDownByteDlg::MakeKindRadios() {
    kindGroup_ = new QButtonGroup(this);
    const struct {
        const char* name;
        msg::Id text;
    } radios[] = {
        {"startupRadio", msg::Id::ScreenKindStartup},
        {"parameterRadio", msg::Id::ScreenKindParameter},
        {"statusRadio", msg::Id::ScreenKindStatus},
    };
    auto* kinds = new QHBoxLayout;
    for (int kind = 0; kind < 3; ++kind) {
        auto* radio = new QRadioButton(msg::QText(radios[kind].text));
        radio->setObjectName(QLatin1String(radios[kind].name));
        kindGroup_->addButton(radio, kind);
        kinds->addWidget(radio);
    }
    return kinds;
}

QLayout* CDownByteDlg::MakeScreenNumberRow() {
    screenNumberEdit_ =
        ui::controls::Field(QStringLiteral("screenNumberEdit"), QStringLiteral("000"), 3);
    auto* number = new QHBoxLayout;
    number->addWidget(new QLabel(msg::QText(msg::Id::ScreenNumberLabel)));
    number->addStretch();
    number->addWidget(screenNumberEdit_);
    return number;
}

QLayout* CDownByteDlg::MakeRegisterGrid() {
    auto* registers = new QGridLayout;
    for (int i = 0; i < 4; ++i) {
        registerEdits_[i] = ui::controls::Field(QStringLiteral("registerEdit%1").arg(i + 1),
                                                QStringLiteral("0000"), 4);
        // "S-" reads as the first letters of the register number that follows it.
        auto* pair = new QHBoxLayout;
        pair->setSpacing(2);
        pair->addWidget(
            new QLabel(msg::QText(msg::Id::ScreenRegisterLabel, {QString::number(i + 1)})));
        pair->addWidget(registerEdits_[i]);
        registers->addLayout(pair, i / 2, i % 2);
        connect(registerEdits_[i], &QLineEdit::textChanged, this,
                [this, i](const QString& text) { settings_.registerNumberText[i] = text; });
    }
    return registers;
}

void CDownByteDlg::ShowSettings() {
    pathEdit_->setText(settings_.filePath);
    screenNumberEdit_->setText(settings_.screenNumberText);
    for (int i = 0; i < 4; ++i)
        registerEdits_[i]->setText(settings_.registerNumberText[i]);
    if (QAbstractButton* radio = kindGroup_->button(settings_.screenKind))
        radio->setChecked(true);
}

void CDownByteDlg::ReadControls() {
    settings_.filePath = pathEdit_->text();
    settings_.screenNumberText = screenNumberEdit_->text();
    for (int i = 0; i < 4; ++i)
        settings_.registerNumberText[i] = registerEdits_[i]->text();
    settings_.screenKind = kindGroup_->checkedId();
}

void CDownByteDlg::Browse() {
    BrowseInto(settings_.filePath, msg::QText(msg::Id::ScreenBitmapFilter));
}

bool CDownByteDlg::NumbersInRange() {
    ctrl::ScreenTarget& target = screenDataFile.target;
    target.kind =
        static_cast<ctrl::ScreenKind>(settings_.screenKind < 0 ? 0 : settings_.screenKind);
    target.screenNumber = DecimalValue(settings_.screenNumberText);
    for (int i = 0; i < 4; ++i)
        target.registerNumbers[i] = DecimalValue(settings_.registerNumberText[i]);
    switch (ctrl::CheckScreenTarget(target)) {
        case ctrl::ScreenRange::ScreenNumberTooHigh:
            prompts_.Message(Utf8(ctrl::kScreenNumberRangeMessage));
            return false;
        case ctrl::ScreenRange::RegisterNumberTooHigh:
            prompts_.Message(Utf8(ctrl::kRegisterNumberRangeMessage));
            return false;
        case ctrl::ScreenRange::Ok:
            break;
    }
    return true;
}

// The dialog is hidden once the bitmap has passed its checks, and hiding ends its modal loop; a
// failure after that shows it again, still modal, so the user can correct and start once more.
void CDownByteDlg::ShowAgainWith(const QString& message) {
    setWindowModality(Qt::ApplicationModal);
    show();
    prompts_.Message(message);
}

void CDownByteDlg::StartDownload() {
    ReadControls();
    if (!NumbersInRange())
        return;
    // Converting into the bitmap itself would destroy it.
    if (fileio::SameFile(PathOf(settings_.filePath), PathOf(scratchPath))) {
        prompts_.Message(msg::QText(msg::Id::OutputIsInput, {scratchPath}));
        return;
    }
    std::string head;
    if (!screen::ReadBitmapHead(PathOf(settings_.filePath), head)) {
        prompts_.Message(
            QString::fromStdString(ctrl::CannotOpenMessage(settings_.filePath.toStdString())));
        return;
    }
    if (const int check = screen::CheckScreenBitmap(head); check != screen::kBitmapOk) {
        if (prompts_.Confirm(
                msg::QText(msg::Id::ScreenCheckRefusedOffer, {Utf8(screen::CheckMessage(check))})))
            OpenImport(settings_.filePath);
        return;
    }
    hide();
    if (screen::ConvertScreenBitmap(head, PathOf(scratchPath))) {
        ShowAgainWith(
            QString::fromStdString(screen::ScratchFailedMessage(scratchPath.toStdString())));
        return;
    }
    if (!screenDataFile.Open(PathOf(scratchPath))) {
        ShowAgainWith(QString::fromStdString(ctrl::CannotOpenMessage(scratchPath.toStdString())));
        return;
    }
    run.record =
        ctrl::DownloadRecord::Of(QStringLiteral("screen"), screenDataFile.target.screenNumber,
                                 settings_.filePath, port_.ConfiguredName());
    run.Start(port_, ctrl::kScreenProfile, screenDataFile, ctrl::ScreenSource::kPacketCount);
}

void CDownByteDlg::OpenImport(const QString& picture) {
    CPictureImportDlg importDlg(prompts_, this);
    if (!picture.isEmpty())
        importDlg.OpenPicture(picture);
    bool send = false;
    importDlg.onDownload = [&send](const QString&) { send = true; };
    if (importDlg.exec() != QDialog::Accepted || importDlg.savedPath.isEmpty())
        return;
    settings_.filePath = importDlg.savedPath;
    ShowSettings();
    if (send)
        StartDownload();
}

void CDownByteDlg::ShowPreview() {
    // Only a regular file: a pipe named in the box must not hold the dialog while the user types.
    const std::filesystem::path path = PathOf(pathEdit_->text());
    std::error_code ec;
    screen::ScreenRead read;
    if (std::filesystem::is_regular_file(path, ec)) {
        std::string head;
        if (screen::ReadBitmapHead(path, head) &&
            screen::CheckScreenBitmap(head) == screen::kBitmapOk) {
            read.opened = true;
            read.rows = screen::LitRowsFromScreenData(screen::ScreenDataFromBitmap(head));
        }
    }
    if (read.opened)
        previewView_->setPixmap(QPixmap::fromImage(screen::PreviewImage(read.rows, 1)));
    else
        previewView_->clear();
}

QWidget* CDownByteDlg::FirstFocus() const {
    return pathEdit_;
}
