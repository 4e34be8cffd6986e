#include "link/DownByteDlg.h"

#include <filesystem>
#include <string>

#include <QButtonGroup>
#include <QRadioButton>
#include <QShowEvent>

#include "link/DownloadMessages.h"
#include "link/ScratchPath.h"
#include "link/ScreenImage.h"
#include "link/SerialPort.h"
#include "registers/RegisterFile.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

const QString kBitmapFilter =
    QStringLiteral("位图文件(*.bmp)|*.bmp|数据文件(*.dat)|*.dat|所有文件(*.*)|*.*||");

std::int32_t DecimalValue(const QString& text) {
    return registers::RegisterValue(text.toStdString());
}

QString Utf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path PathOf(const QString& text) {
    return std::filesystem::path(text.toStdU16String());
}

}  // namespace

CDownByteDlg::CDownByteDlg(ui::Prompts& prompts, CSerialPort& port, QWidget* parent)
    : QDialog(parent),
      scratchPath(ctrl::DefaultScratchPath()),
      run(*this, prompts),
      prompts_(prompts),
      port_(port) {
    using ui::FromDialogUnits;
    namespace c = ui::controls;
    setWindowTitle(QStringLiteral("下载液晶画面"));
    setFixedSize(FromDialogUnits(0, 0, 233, 167).size());

    c::Group(this, QStringLiteral("选择要下载的画面文件"), FromDialogUnits(11, 10, 130, 30));
    pathEdit_ = c::Edit(this, "pathEdit", kPathEditId, FromDialogUnits(14, 21, 120, 12));
    browseButton_ = c::Button(this, QStringLiteral("浏览"), "browseButton", kBrowseId,
                              FromDialogUnits(147, 19, 40, 15));

    c::Group(this, QStringLiteral("画面类型选择"), FromDialogUnits(11, 44, 150, 35));
    kindGroup_ = new QButtonGroup(this);
    const struct {
        const char* name;
        QString text;
        int id;
        QRect units;
    } radios[] = {
        {"startupRadio", QStringLiteral("开机画面"), kStartupRadioId,
         FromDialogUnits(17, 58, 44, 14)},
        {"parameterRadio", QStringLiteral("参数画面"), kParameterRadioId,
         FromDialogUnits(66, 58, 44, 14)},
        {"statusRadio", QStringLiteral("状态画面"), kStatusRadioId,
         FromDialogUnits(114, 58, 44, 14)},
    };
    for (int kind = 0; kind < 3; ++kind) {
        auto* radio = new QRadioButton(radios[kind].text, this);
        radio->setObjectName(QLatin1String(radios[kind].name));
        radio->setProperty("controlId", radios[kind].id);
        radio->setGeometry(radios[kind].units);
        kindGroup_->addButton(radio, kind);
    }

    c::Group(this, QString(), FromDialogUnits(11, 81, 130, 24));
    c::Label(this, QStringLiteral("至控制器画面序号:"), FromDialogUnits(17, 91, 75, 10));
    screenNumberEdit_ =
        c::Edit(this, "screenNumberEdit", kScreenNumberEditId, FromDialogUnits(100, 89, 27, 12), 3);

    c::Group(this, QStringLiteral("参数画面对应寄存器"), FromDialogUnits(11, 110, 150, 45));
    const QRect labels[] = {FromDialogUnits(27, 124, 29, 12), FromDialogUnits(97, 123, 29, 12),
                            FromDialogUnits(27, 140, 29, 12), FromDialogUnits(97, 139, 29, 12)};
    const QRect edits[] = {FromDialogUnits(55, 122, 20, 12), FromDialogUnits(125, 121, 20, 12),
                           FromDialogUnits(55, 138, 20, 12), FromDialogUnits(125, 137, 20, 12)};
    for (int i = 0; i < 4; ++i) {
        c::Label(this, QStringLiteral("NO%1:   S-").arg(i + 1), labels[i]);
        const std::string name = "registerEdit" + std::to_string(i + 1);
        registerEdits_[i] = c::Edit(this, name.c_str(), kFirstRegisterEditId + i, edits[i], 4);
        connect(registerEdits_[i], &QLineEdit::textChanged, this,
                [this, i](const QString& text) { registerNumberText[i] = text; });
    }

    startButton_ = c::Button(this, QStringLiteral("开始下载"), "startButton", kStartId,
                             FromDialogUnits(171, 57, 50, 19));
    cancelButton_ = c::Button(this, QStringLiteral("取消"), "cancelButton", kCancelId,
                              FromDialogUnits(171, 89, 50, 17));
    startButton_->setDefault(true);

    connect(screenNumberEdit_, &QLineEdit::textChanged, this,
            [this](const QString& text) { screenNumberText = text; });
    connect(browseButton_, &QPushButton::clicked, this, &CDownByteDlg::Browse);
    connect(startButton_, &QPushButton::clicked, this, &CDownByteDlg::StartDownload);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void CDownByteDlg::Refresh() {
    pathEdit_->setText(filePath);
    screenNumberEdit_->setText(screenNumberText);
    for (int i = 0; i < 4; ++i)
        registerEdits_[i]->setText(registerNumberText[i]);
    if (QAbstractButton* radio = kindGroup_->button(screenKind))
        radio->setChecked(true);
}

void CDownByteDlg::TakeFields() {
    filePath = pathEdit_->text();
    screenNumberText = screenNumberEdit_->text();
    for (int i = 0; i < 4; ++i)
        registerNumberText[i] = registerEdits_[i]->text();
    screenKind = kindGroup_->checkedId();
}

void CDownByteDlg::Browse() {
    ui::FileChooser chooser;
    chooser.defaultExtension = QStringLiteral("txt");
    chooser.filter = kBitmapFilter;
    chooser.overwritePrompt = true;
    if (const auto chosen = prompts_.ChooseOpenFile(chooser))
        filePath = *chosen;
    Refresh();
}

bool CDownByteDlg::NumbersInRange() {
    ctrl::ScreenTarget& target = screenDataFile.target;
    target.kind = static_cast<ctrl::ScreenKind>(screenKind < 0 ? 0 : screenKind);
    target.screenNumber = DecimalValue(screenNumberText);
    for (int i = 0; i < 4; ++i)
        target.registerNumbers[i] = DecimalValue(registerNumberText[i]);
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
    TakeFields();
    if (!NumbersInRange())
        return;
    std::string head;
    if (!screen::ReadBitmapHead(PathOf(filePath), head)) {
        prompts_.Message(QString::fromStdString(ctrl::CannotOpenMessage(filePath.toStdString())));
        return;
    }
    if (const int check = screen::CheckScreenBitmap(head); check != screen::kBitmapOk) {
        prompts_.Message(Utf8(screen::CheckMessage(check)));
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
    run.Start(port_, ctrl::kScreenProfile, screenDataFile, ctrl::ScreenSource::kPacketCount);
}

void CDownByteDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Refresh();
        // Each opening starts on the first control, as a dialog made anew would.
        pathEdit_->setFocus();
    }
    QDialog::showEvent(event);
}
