#include "registers/SetParDlg.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QValidator>

#include "common/DecimalValue.h"
#include "registers/FileErrors.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

const QString kRegisterFilter = QStringLiteral("KXCON Files(*.dat)|*.dat||");
const QString kChooseFileFirst = QStringLiteral("请先选择文件保存路径！");
const QString kNotRegisterFile =
    QStringLiteral("文件格式不正确！请确认你选择的是RVL412E寄存器文件。");
const QString kPageOutOfRange =
    QStringLiteral("寄存器号超出范围！请键入S0000到S4095之间的寄存器号。");
const QString kTooLong = QStringLiteral("“请填入不多于%1个的字符。”");

using ui::FromDialogUnits;

QPushButton* MakeButton(QWidget* parent, const QString& text, const QString& name, int id,
                        QRect geometry) {
    QPushButton* button = ui::controls::Button(parent, text, name, id, geometry);
    // No button is the default: Enter is the dialog's OK command.
    button->setAutoDefault(false);
    return button;
}

// Texts are bytes in the system code page; bytes that are not valid GBK show one by one, so that
// a text shown and not edited goes back to the file exactly as it came.
QString ShowBytes(const std::string& bytes) {
    QStringDecoder decoder("GBK", QStringConverter::Flag::Stateless);
    if (decoder.isValid()) {
        QString text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
        if (!decoder.hasError())
            return text;
    }
    return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
}

std::string EncodeText(const QString& text) {
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    if (encoder.isValid()) {
        const QByteArray bytes = encoder.encode(text);
        if (!encoder.hasError())
            return bytes.toStdString();
    }
    return text.toLatin1().toStdString();
}

std::string TakeText(const QString& shown, const std::string& held) {
    return shown == ShowBytes(held) ? held : EncodeText(shown);
}

// Stops typing beyond the limit (counted in code-page bytes) but, like the platform's edit
// control, lets a longer text set by the program stand and be shortened.
class ByteLimit : public QValidator {
public:
    ByteLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}
    State validate(QString& input, int&) const override {
        return EncodeText(input).size() > std::size_t(limit_) ? Invalid : Acceptable;
    }

private:
    int limit_;
};

QLineEdit* MakeEdit(QWidget* parent, const QString& name, int id, int limit, QRect geometry) {
    QLineEdit* edit = ui::controls::Edit(parent, name, id, geometry);
    edit->setValidator(new ByteLimit(limit, edit));
    return edit;
}

QString FileError(std::error_code cause, const std::filesystem::path& file) {
    const QString name = QString::fromStdU16String(file.u16string());
    return QString::fromStdString(registers::FileErrorMessage(cause, name.toStdString()));
}

QString RowNumberText(int k) {
    return u'S' + QString::fromStdString(registers::FourDigits(k));
}

}  // namespace

int CSetParDlg::NumberControlId(int row) {
    return row < 12 ? kFirstNumberId + row : 1103 + (row - 12);
}

int CSetParDlg::ValueControlId(int row) {
    return row < 12 ? kFirstValueId + 2 * row : 1067 + 2 * (row - 12);
}

CSetParDlg::CSetParDlg(ui::Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
    setWindowTitle(QStringLiteral("寄存器设置"));
    setFixedSize(FromDialogUnits(0, 0, 287, 205).size());
    for (int r = 0; r < kRows; ++r)
        registerNumbers[r] = RowNumberText(r).toStdString();
    values.fill(std::string(1, '0'));

    browseButton_ = MakeButton(this, QStringLiteral("浏览"), "browseButton", kBrowseId,
                               FromDialogUnits(215, 62, 40, 15));
    auto* rowsGroup = new QGroupBox(this);
    rowsGroup->setObjectName(QStringLiteral("rowsGroup"));
    rowsGroup->setGeometry(FromDialogUnits(7, 3, 175, 193));
    for (int r = 0; r < kRows; ++r) {
        const int column = r < 12 ? 0 : 87;
        const int y = 14 + 15 * (r % 12);
        numberEdits_[r] =
            MakeEdit(this, QStringLiteral("registerNumber%1").arg(r), NumberControlId(r),
                     kNumberLimit, FromDialogUnits(12 + column, y, 26, 12));
        numberEdits_[r]->setEnabled(r == 0);
        auto* equals = new QLabel(QStringLiteral("="), this);
        equals->setAlignment(Qt::AlignCenter);
        equals->setGeometry(FromDialogUnits(39 + column, y, 8, 12));
        valueEdits_[r] = MakeEdit(this, QStringLiteral("value%1").arg(r), ValueControlId(r),
                                  kValueLimit, FromDialogUnits(49 + column, y, 41, 12));
    }
    auto* pathGroup = new QGroupBox(QStringLiteral("文件保存路径"), this);
    pathGroup->setObjectName(QStringLiteral("pathGroup"));
    pathGroup->setGeometry(FromDialogUnits(189, 27, 89, 30));
    pathEdit_ = new QLineEdit(this);
    pathEdit_->setObjectName(QStringLiteral("pathEdit"));
    pathEdit_->setProperty("controlId", static_cast<int>(kPathId));
    pathEdit_->setGeometry(FromDialogUnits(191, 37, 86, 15));
    pathEdit_->setEnabled(false);
    saveButton_ = MakeButton(this, QStringLiteral("数据保存"), "saveButton", kSaveId,
                             FromDialogUnits(210, 129, 50, 14));
    closeButton_ = MakeButton(this, QStringLiteral("关闭"), "closeButton", kCloseId,
                              FromDialogUnits(210, 155, 50, 14));

    QWidget* previous = browseButton_;
    auto chain = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    chain(numberEdits_[0]);
    for (QLineEdit* value : valueEdits_)
        chain(value);
    chain(saveButton_);
    chain(closeButton_);

    numberEdits_[0]->installEventFilter(this);
    connect(browseButton_, &QPushButton::clicked, this, &CSetParDlg::Browse);
    connect(saveButton_, &QPushButton::clicked, this, &CSetParDlg::Save);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
}

std::filesystem::path CSetParDlg::Path() const {
    return std::filesystem::path(filePath.toStdU16String());
}

void CSetParDlg::Refresh() {
    for (int r = 0; r < kRows; ++r) {
        numberEdits_[r]->setText(ShowBytes(registerNumbers[r]));
        valueEdits_[r]->setText(ShowBytes(values[r]));
    }
    pathEdit_->setText(filePath);
}

bool CSetParDlg::TakeFields() {
    auto tooLong = [this](QLineEdit* edit, int limit) {
        if (EncodeText(edit->text()).size() <= std::size_t(limit))
            return false;
        prompts_.Message(kTooLong.arg(limit));
        edit->setFocus();
        edit->selectAll();
        return true;
    };
    if (tooLong(numberEdits_[0], kNumberLimit))
        return false;
    for (QLineEdit* value : valueEdits_) {
        if (tooLong(value, kValueLimit))
            return false;
    }
    registerNumbers[0] = TakeText(numberEdits_[0]->text(), registerNumbers[0]);
    for (int r = 0; r < kRows; ++r)
        values[r] = TakeText(valueEdits_[r]->text(), values[r]);
    return true;
}

bool CSetParDlg::ReadPage() {
    const registers::PageRead page = registers::ReadRegisterPage(Path(), pageBase);
    if (page.status != registers::ReadStatus::Done)
        return false;
    pageTexts = page.texts;
    std::copy(page.texts.begin(), page.texts.end(), values.begin());
    return true;
}

void CSetParDlg::Browse() {
    ui::FileChooser chooser;
    chooser.defaultExtension = QStringLiteral("dat");
    chooser.filter = kRegisterFilter;
    chooser.overwritePrompt = true;
    const auto chosen = prompts_.ChooseOpenFile(chooser);
    if (!chosen) {
        Refresh();
        return;
    }
    const std::filesystem::path path(chosen->toStdU16String());
    switch (registers::CheckRegisterFile(path)) {
        case registers::CheckResult::NotRegisterFile:
            prompts_.Message(kNotRegisterFile);
            return;
        case registers::CheckResult::RegisterFile:
            filePath = *chosen;
            ReadPage();
            break;
        case registers::CheckResult::CannotOpen:
            filePath = *chosen;
            if (const std::error_code ec = registers::CreateRegisterFile(path))
                prompts_.Message(FileError(ec, path));
            break;
    }
    Refresh();
}

void CSetParDlg::ShowPageNumbers() {
    for (int r = 0; r < kRows; ++r)
        registerNumbers[r] = RowNumberText(pageBase + r).toStdString();
    numberEdits_[0]->setText(ShowBytes(registerNumbers[0]));
}

void CSetParDlg::ChangePage() {
    std::string text = TakeText(numberEdits_[0]->text(), registerNumbers[0]);
    if (text.empty())
        text = "S0000";
    if (text[0] == 'S')
        text[0] = '0';
    const int n = text::DecimalValue(text);
    const int base = n - n % registers::kPageSize;
    if (!registers::IsPageBase(base)) {
        // Pages past the file's registers, or numbers the four digits cannot hold, are refused:
        // the page stays, and so does anything typed on it.
        numberEdits_[0]->setText(ShowBytes(registerNumbers[0]));
        valueEdits_[0]->setFocus();
        prompts_.Message(kPageOutOfRange);
        return;
    }
    pageBase = base;
    ShowPageNumbers();
    valueEdits_[0]->setFocus(Qt::TabFocusReason);
    if (!ReadPage())
        prompts_.Message(kChooseFileFirst);
    Refresh();
    valueEdits_[0]->selectAll();
}

void CSetParDlg::Save() {
    if (!TakeFields())
        return;
    std::copy(values.begin(), values.end(), pageTexts.begin());
    const registers::WriteResult result = registers::WriteRegisterPage(Path(), pageBase, pageTexts);
    switch (result.status) {
        case registers::WriteStatus::Done:
            Refresh();
            return;
        case registers::WriteStatus::CannotOpen:
            prompts_.Message(kChooseFileFirst);
            return;
        case registers::WriteStatus::BadPage:
            prompts_.Message(kPageOutOfRange);
            return;
        case registers::WriteStatus::BadText:
        case registers::WriteStatus::TooManyLines:
            prompts_.Message(kNotRegisterFile);
            return;
        case registers::WriteStatus::FileError:
            prompts_.Message(FileError(result.cause, result.file));
            return;
    }
}

void CSetParDlg::accept() {
    if (TakeFields())
        QDialog::accept();
}

void CSetParDlg::done(int result) {
    // Closing takes the focus from the first register number; that is no change of page.
    closing_ = true;
    QDialog::done(result);
    closing_ = false;
}

bool CSetParDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == numberEdits_[0] && ui::LeavesField(event) && !closing_ && isVisible())
        ChangePage();
    return QDialog::eventFilter(watched, event);
}

void CSetParDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Refresh();
        browseButton_->setFocus();
    }
    QDialog::showEvent(event);
}

void CSetParDlg::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // A button with the focus takes Enter as a click, as on the platform's dialogs.
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()))
            button->click();
        else
            accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
