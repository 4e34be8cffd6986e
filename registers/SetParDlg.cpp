#include "registers/SetParDlg.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>

#include "common/DecimalValue.h"
#include "common/QtMessages.h"
#include "registers/ValueText.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

using registers::EncodeText;
using registers::ShowBytes;
using registers::TakeText;

QPushButton* MakeButton(msg::Id text, const char* name) {
    QPushButton* button = ui::controls::Button(msg::QText(text), name);
    // No button is the default: Enter is the dialog's OK command.
    button->setAutoDefault(false);
    return button;
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

QString RowNumberText(int k) {
    return u'S' + QString::fromStdString(registers::FourDigits(k));
}

}  // namespace

// Control ids, for the record: register number of row r 1091 + r (rows 12 to 23: 1103 + r - 12),
// its value 1066 + 2r (rows 12 to 23: 1067 + 2(r - 12)), path 1115, browse 1116, save 3, close 2.
CSetParDlg::CSetParDlg(ui::Prompts& prompts, QWidget* parent) : SettingsDialog(prompts, parent) {
    namespace c = ui::controls;
    setWindowTitle(msg::QText(msg::Id::RegistersCaption));
    for (int r = 0; r < kRows; ++r)
        settings_.registerNumbers[r] = RowNumberText(r).toStdString();
    settings_.values.fill(std::string(1, '0'));

    browseButton_ = MakeButton(msg::Id::DialogBrowse, "browseButton");
    QGroupBox* rowsGroup = MakeRows();

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
    for (QLineEdit* value : valueEdits_)
        value->installEventFilter(this);
    connect(browseButton_, &QPushButton::clicked, this, &CSetParDlg::Browse);
    connect(saveButton_, &QPushButton::clicked, this, &CSetParDlg::Save);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::reject);
}

// The page's rows: register number, "=", value; the first number is the one that can be typed.
QGroupBox* CSetParDlg::MakeRows() {
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
    QGroupBox* rowsGroup = ui::controls::Group(QString(), rows);
    rowsGroup->setObjectName(QStringLiteral("rowsGroup"));
    return rowsGroup;
}

std::filesystem::path CSetParDlg::Path() const {
    return std::filesystem::path(settings_.filePath.toStdU16String());
}

void CSetParDlg::ShowSettings() {
    for (int r = 0; r < kRows; ++r) {
        numberEdits_[r]->setText(ShowBytes(settings_.registerNumbers[r]));
        valueEdits_[r]->setText(ShowBytes(settings_.values[r]));
    }
    pathEdit_->setText(settings_.filePath);
}

bool CSetParDlg::ReadControls() {
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
    settings_.registerNumbers[0] = TakeText(numberEdits_[0]->text(), settings_.registerNumbers[0]);
    for (int r = 0; r < kRows; ++r)
        settings_.values[r] = TakeText(valueEdits_[r]->text(), settings_.values[r]);
    return true;
}

bool CSetParDlg::ReadPage() {
    const registers::PageRead page = registers::ReadRegisterPage(Path(), settings_.pageBase);
    if (page.status != registers::ReadStatus::Done)
        return false;
    pageTexts_ = page.texts;
    std::copy(page.texts.begin(), page.texts.end(), settings_.values.begin());
    baseline_ = settings_.values;
    return true;
}

bool CSetParDlg::HasUnsavedValues() const {
    if (settings_.filePath.isEmpty())
        return false;
    for (int r = 0; r < kRows; ++r) {
        if (TakeText(valueEdits_[r]->text(), settings_.values[r]) != baseline_[r])
            return true;
    }
    return false;
}

bool CSetParDlg::AskToSave() {
    if (!HasUnsavedValues())
        return true;
    return ui::SaveFirst(prompts_, msg::QText(msg::Id::RegistersUnsaved),
                         [this] { return WritePage(); });
}

void CSetParDlg::Browse() {
    const auto chosen = prompts_.ChooseOpenFile(
        ui::BrowseChooser(msg::QText(msg::Id::RegistersFilter), QStringLiteral("dat")));
    // Cancelled: the page keeps what was typed on it.
    if (!chosen)
        return;
    const std::filesystem::path path(chosen->toStdU16String());
    switch (registers::CheckRegisterFile(path)) {
        case registers::CheckResult::NotRegisterFile:
            prompts_.Message(msg::QText(msg::Id::RegistersNotRegisterFile));
            return;
        case registers::CheckResult::RegisterFile:
            if (!AskToSave())
                return;
            settings_.filePath = *chosen;
            ReadPage();
            break;
        case registers::CheckResult::CannotOpen:
            if (!AskToSave())
                return;
            settings_.filePath = *chosen;
            // The new file holds no registers yet: what the page holds is what a save would write.
            baseline_ = settings_.values;
            if (const std::error_code ec = registers::CreateRegisterFile(path))
                prompts_.Message(registers::FileErrorText(ec, path));
            break;
    }
    ShowSettings();
}

void CSetParDlg::ShowPageNumbers() {
    for (int r = 0; r < kRows; ++r)
        settings_.registerNumbers[r] = RowNumberText(settings_.pageBase + r).toStdString();
    numberEdits_[0]->setText(ShowBytes(settings_.registerNumbers[0]));
}

void CSetParDlg::ChangePage() {
    std::string text = TakeText(numberEdits_[0]->text(), settings_.registerNumbers[0]);
    if (text.empty())
        text = "S0000";
    // "S123" and "123" name the same register.
    if (text[0] == 'S')
        text[0] = '0';
    const int n = text::DecimalValue(text);
    const int base = n - n % registers::kPageSize;
    if (!registers::IsPageBase(base)) {
        // Pages past the file's registers, or numbers the four digits cannot hold, are refused:
        // the page stays, and so does anything typed on it.
        numberEdits_[0]->setText(ShowBytes(settings_.registerNumbers[0]));
        valueEdits_[0]->setFocus();
        prompts_.Message(msg::QText(msg::Id::RegistersPageOutOfRange));
        return;
    }
    if (!AskToSave()) {
        // The page stays with what was typed on it.
        numberEdits_[0]->setText(RowNumberText(settings_.pageBase));
        valueEdits_[0]->setFocus();
        return;
    }
    settings_.pageBase = base;
    ShowPageNumbers();
    valueEdits_[0]->setFocus(Qt::TabFocusReason);
    if (!ReadPage())
        prompts_.Message(msg::QText(msg::Id::RegistersChooseFileFirst));
    ShowSettings();
    valueEdits_[0]->selectAll();
}

void CSetParDlg::MovePage(int base) {
    if (base == settings_.pageBase || !registers::IsPageBase(base) || !AskToSave())
        return;
    settings_.pageBase = base;
    ShowPageNumbers();
    if (!ReadPage())
        prompts_.Message(msg::QText(msg::Id::RegistersChooseFileFirst));
    ShowSettings();
}

void CSetParDlg::Save() {
    WritePage();
}

bool CSetParDlg::WritePage() {
    if (!ReadControls())
        return false;
    std::copy(settings_.values.begin(), settings_.values.end(), pageTexts_.begin());
    const registers::WriteResult result =
        registers::WriteRegisterPage(Path(), settings_.pageBase, pageTexts_);
    switch (result.status) {
        case registers::WriteStatus::Done:
            baseline_ = settings_.values;
            ShowSettings();
            emit Saved(msg::QText(
                msg::Id::RegistersSavedNote,
                {QString::fromStdString(registers::FourDigits(settings_.pageBase)),
                 QString::fromStdString(registers::FourDigits(settings_.pageBase + kRows - 1)),
                 settings_.filePath}));
            return true;
        case registers::WriteStatus::CannotOpen:
            // The page has no file to go to: the user is asked to choose one.
            prompts_.Message(msg::QText(msg::Id::RegistersChooseFileFirst));
            return false;
        default:
            prompts_.Message(registers::WriteFaultText(result));
            return false;
    }
}

void CSetParDlg::accept() {
    if (ReadControls())
        QDialog::accept();
}

void CSetParDlg::done(int result) {
    if (!closing_ && HasUnsavedValues()) {
        // Asked before the focus leaves anything: the question is about closing, not the page.
        closing_ = true;
        const bool leave = AskToSave();
        closing_ = false;
        if (!leave)
            return;
        // No: the typed values are dropped, the page shows the file again on the next
        // opening.
        settings_.values = baseline_;
    }
    SettingsDialog::done(result);
}

bool CSetParDlg::PageKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers mods = key.modifiers() & ~Qt::KeypadModifier;
    int base = -1;
    if (mods == Qt::NoModifier && key.key() == Qt::Key_PageUp)
        base = settings_.pageBase - kRows;
    else if (mods == Qt::NoModifier && key.key() == Qt::Key_PageDown)
        base = settings_.pageBase + kRows;
    else if (mods == Qt::ControlModifier && key.key() == Qt::Key_Home)
        base = 0;
    else if (mods == Qt::ControlModifier && key.key() == Qt::Key_End)
        base = registers::kLastPageBase;
    else
        return false;
    MovePage(base);
    return true;
}

bool CSetParDlg::eventFilter(QObject* watched, QEvent* event) {
    // The page keys reach the dialog before a field can take Ctrl+Home or Ctrl+End for itself.
    if (event->type() == QEvent::KeyPress && PageKey(*static_cast<QKeyEvent*>(event)))
        return true;
    if (UserLeaves(numberEdits_[0], watched, event))
        ChangePage();
    return QDialog::eventFilter(watched, event);
}

QWidget* CSetParDlg::FirstFocus() const {
    return browseButton_;
}

void CSetParDlg::keyPressEvent(QKeyEvent* event) {
    if (PageKey(*event))
        return;
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
