#include "registers/SetParDlg.h"

#include <QGridLayout>
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
#include "common/QtMessages.h"
#include "registers/FileErrors.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

QPushButton* MakeButton(msg::Id text, const char* name) {
    QPushButton* button = ui::controls::Button(msg::QText(text), name);
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

// Sized for `sample`, the widest text the field is for.
QLineEdit* MakeEdit(const QString& name, const QString& sample, int limit) {
    QLineEdit* edit = ui::controls::Field(name, sample);
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

// Control ids, for the record: register number of row r 1091 + r (rows 12 to 23: 1103 + r - 12),
// its value 1066 + 2r (rows 12 to 23: 1067 + 2(r - 12)), path 1115, browse 1116, save 3, close 2.
CSetParDlg::CSetParDlg(ui::Prompts& prompts, QWidget* parent) : QDialog(parent), prompts_(prompts) {
    namespace c = ui::controls;
    setWindowTitle(msg::QText(msg::Id::RegistersCaption));
    for (int r = 0; r < kRows; ++r)
        registerNumbers[r] = RowNumberText(r).toStdString();
    values.fill(std::string(1, '0'));

    browseButton_ = MakeButton(msg::Id::DialogBrowse, "browseButton");
    auto* rows = new QGridLayout;
    // The two halves of the page side by side, kept apart like columns of a table.
    rows->setColumnMinimumWidth(3, rows->spacing() * 2);
    for (int r = 0; r < kRows; ++r) {
        const int column = r < 12 ? 0 : 4;
        numberEdits_[r] = MakeEdit(QStringLiteral("registerNumber%1").arg(r),
                                   QStringLiteral("S0000"), kNumberLimit);
        numberEdits_[r]->setEnabled(r == 0);
        auto* equals = new QLabel(msg::QText(msg::Id::RegistersEquals));
        equals->setAlignment(Qt::AlignCenter);
        valueEdits_[r] =
            MakeEdit(QStringLiteral("value%1").arg(r), QString(kValueLimit, u'0'), kValueLimit);
        rows->addWidget(numberEdits_[r], r % 12, column);
        rows->addWidget(equals, r % 12, column + 1);
        rows->addWidget(valueEdits_[r], r % 12, column + 2);
    }
    QGroupBox* rowsGroup = c::Group(QString(), rows);
    rowsGroup->setObjectName(QStringLiteral("rowsGroup"));

    pathEdit_ = c::Field(QStringLiteral("pathEdit"), QString(20, u'x'));
    pathEdit_->setEnabled(false);
    QGroupBox* pathGroup = c::Group(msg::QText(msg::Id::RegistersPathGroup), c::Row({pathEdit_}));
    pathGroup->setObjectName(QStringLiteral("pathGroup"));
    saveButton_ = MakeButton(msg::Id::RegistersSave, "saveButton");
    closeButton_ = MakeButton(msg::Id::RegistersClose, "closeButton");

    auto* side = new QVBoxLayout;
    side->addStretch(1);
    side->addWidget(pathGroup);
    side->addWidget(browseButton_, 0, Qt::AlignHCenter);
    side->addStretch(3);
    side->addWidget(saveButton_, 0, Qt::AlignHCenter);
    side->addWidget(closeButton_, 0, Qt::AlignHCenter);
    side->addStretch(1);
    auto* layout = new QHBoxLayout;
    layout->addWidget(rowsGroup);
    layout->addLayout(side);
    c::SizeToContents(this, layout);

    QWidget::setTabOrder(browseButton_, numberEdits_[0]);
    QWidget* previous = numberEdits_[0];
    for (QLineEdit* value : valueEdits_) {
        QWidget::setTabOrder(previous, value);
        previous = value;
    }
    c::TabOrder({previous, saveButton_, closeButton_});

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
        prompts_.Message(msg::QText(msg::Id::FieldTooLong, {QString::number(limit)}));
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
    chooser.filter = msg::QText(msg::Id::RegistersFilter);
    chooser.overwritePrompt = true;
    const auto chosen = prompts_.ChooseOpenFile(chooser);
    if (!chosen) {
        Refresh();
        return;
    }
    const std::filesystem::path path(chosen->toStdU16String());
    switch (registers::CheckRegisterFile(path)) {
        case registers::CheckResult::NotRegisterFile:
            prompts_.Message(msg::QText(msg::Id::RegistersNotRegisterFile));
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
        prompts_.Message(msg::QText(msg::Id::RegistersPageOutOfRange));
        return;
    }
    pageBase = base;
    ShowPageNumbers();
    valueEdits_[0]->setFocus(Qt::TabFocusReason);
    if (!ReadPage())
        prompts_.Message(msg::QText(msg::Id::RegistersChooseFileFirst));
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
            prompts_.Message(msg::QText(msg::Id::RegistersChooseFileFirst));
            return;
        case registers::WriteStatus::BadPage:
            prompts_.Message(msg::QText(msg::Id::RegistersPageOutOfRange));
            return;
        case registers::WriteStatus::BadText:
        case registers::WriteStatus::TooManyLines:
            prompts_.Message(msg::QText(msg::Id::RegistersNotRegisterFile));
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
