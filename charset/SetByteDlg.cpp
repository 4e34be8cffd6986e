#include "charset/SetByteDlg.h"

#include <filesystem>

#include <QEvent>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "charset/CharacterImage.h"
#include "common/GbkText.h"
#include "common/QtMessages.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

namespace c = ui::controls;

QLineEdit* MakeEdit(const QString& name, const QString& sample) {
    QLineEdit* edit = c::Field(name, sample);
    edit->setAlignment(Qt::AlignCenter);
    return edit;
}

// A cell shows one byte of the image; a zero byte ends the text, so it shows as an empty cell.
QString ShowCell(const std::string& cell) {
    return QString::fromLatin1(cell.c_str());
}

// The byte a typed character stands for: itself when it fits one byte, else the first byte of
// its code-page form.
char CellByte(const QString& text) {
    if (text.isEmpty())
        return ' ';
    const QChar c = text.front();
    if (c.unicode() < 0x100)
        return static_cast<char>(c.unicode());
    const QByteArray bytes = gbk::Encode(QString(c));
    return bytes.isEmpty() ? '?' : bytes.front();
}

std::string ThreeDigits(int n) {
    return QStringLiteral("%1").arg(n, 3, 10, QChar('0')).toStdString();
}

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

}  // namespace

// Control ids, for the record: path 1005, browse 1015, entry numbers 1043 to 1046, store 1 (OK),
// save 1057, cancel 2; the cells of group 0 are 1006 to 1013, of group 1 1014 and 1016 to 1022,
// of group 2 1023 to 1030 and of group 3 1031 to 1038.
CSetByteDlg::CSetByteDlg(ui::Prompts& prompts, QWidget* parent) : SettingsDialog(prompts, parent) {
    settings_.image = charset::NewImage();
    setWindowTitle(msg::QText(msg::Id::CharactersCaption));

    pathEdit_ = c::PathEdit("pathEdit");
    pathEdit_->setEnabled(false);
    browseButton_ = c::Button(msg::QText(msg::Id::DialogBrowse), "browseButton");

    QLayout* groups = MakeGroups();

    storeButton_ = c::Button(msg::QText(msg::Id::CharactersStore), "storeButton");
    saveButton_ = c::Button(msg::QText(msg::Id::CharactersSave), "saveButton");
    cancelButton_ = c::Button(msg::QText(msg::Id::DialogCancel), "cancelButton");
    storeButton_->setDefault(true);

    auto* layout = new QVBoxLayout;
    layout->addLayout(c::Row(
        {c::Group(msg::QText(msg::Id::CharactersPathGroup), c::Row({pathEdit_})), browseButton_}));
    layout->addLayout(groups);
    layout->addLayout(c::ButtonRow({storeButton_, saveButton_, cancelButton_}));
    c::SizeToContents(this, layout);

    c::TabOrder({browseButton_, entryEdits_[0], saveButton_, cancelButton_, cellEdits_[0]});
    for (int i = 1; i < kCells; ++i)
        QWidget::setTabOrder(cellEdits_[i - 1], cellEdits_[i]);
    QWidget::setTabOrder(cellEdits_[kCells - 1], storeButton_);

    entryEdits_[0]->installEventFilter(this);
    connect(browseButton_, &QPushButton::clicked, this, &CSetByteDlg::Browse);
    connect(storeButton_, &QPushButton::clicked, this, &CSetByteDlg::accept);
    connect(saveButton_, &QPushButton::clicked, this, &CSetByteDlg::Save);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

// The four entries: each an entry number over its eight cells; only the first number is typed.
QLayout* CSetByteDlg::MakeGroups() {
    auto* groups = new QGridLayout;
    for (int g = 0; g < kGroups; ++g) {
        entryEdits_[g] = MakeEdit(QStringLiteral("entryNumber%1").arg(g), QStringLiteral("000"));
        entryEdits_[g]->setEnabled(g == 0);
        auto* entry = new QHBoxLayout;
        entry->addWidget(entryEdits_[g]);
        entry->addStretch();
        auto* cells = new QHBoxLayout;
        cells->setSpacing(0);
        for (int j = 0; j < kCellsPerGroup; ++j) {
            // Any one character of the font fits its cell.
            QLineEdit* cell =
                MakeEdit(QStringLiteral("cell%1_%2").arg(g).arg(j), QStringLiteral("W"));
            cell->setMaxLength(1);
            // Typing or deleting moves on, so an entry's characters go in one run.
            connect(cell, &QLineEdit::textEdited, this, [this] { focusNextChild(); });
            cellEdits_[g * kCellsPerGroup + j] = cell;
            cells->addWidget(cell);
        }
        auto* contents = new QVBoxLayout;
        contents->addLayout(entry);
        contents->addLayout(cells);
        groups->addWidget(
            c::Group(msg::QText(msg::Id::CharactersEntryGroup, {QString::number(g)}), contents),
            g / 2, g % 2);
    }
    entryEdits_[0]->setMaxLength(3);
    entryEdits_[0]->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    return groups;
}

void CSetByteDlg::ShowSettings() {
    pathEdit_->setText(settings_.filePath);
    for (int g = 0; g < kGroups; ++g)
        entryEdits_[g]->setText(QString::fromLatin1(settings_.entryNumbers[g].c_str()));
    for (int i = 0; i < kCells; ++i)
        cellEdits_[i]->setText(ShowCell(settings_.cells[i]));
}

void CSetByteDlg::ReadControls() {
    settings_.entryNumbers[0] = entryEdits_[0]->text().toStdString();
    for (int i = 0; i < kCells; ++i) {
        const QString text = cellEdits_[i]->text();
        if (text != ShowCell(settings_.cells[i]))
            settings_.cells[i] = text.isEmpty() ? std::string() : std::string(1, CellByte(text));
    }
}

void CSetByteDlg::FillCells() {
    for (int g = 0; g < kGroups; ++g) {
        for (int j = 0; j < kCellsPerGroup; ++j)
            settings_.cells[g * kCellsPerGroup + j] =
                std::string(1, settings_.image[charset::CellOffset(settings_.block + g, j)]);
    }
}

void CSetByteDlg::ChangeBlock() {
    const QString text = entryEdits_[0]->text();
    int n = 0;
    for (int i = 0; i < text.size() && text[i].isDigit() && i < 3; ++i)
        n = n * 10 + text[i].digitValue();
    settings_.block = n - n % kGroups;
    for (int g = 0; g < kGroups; ++g)
        settings_.entryNumbers[g] = ThreeDigits(settings_.block + g);
    entryEdits_[0]->setText(QString::fromStdString(settings_.entryNumbers[0]));
    cellEdits_[0]->setFocus(Qt::TabFocusReason);
    FillCells();
    ShowSettings();
    // Selected, so the block's characters can be typed over in one run.
    cellEdits_[0]->selectAll();
}

void CSetByteDlg::StoreCells() {
    for (int g = 0; g < kGroups; ++g) {
        for (int j = 0; j < kCellsPerGroup; ++j)
            settings_.image[charset::CellOffset(settings_.block + g, j)] =
                CellByte(cellEdits_[g * kCellsPerGroup + j]->text());
    }
}

void CSetByteDlg::Browse() {
    const auto chosen =
        prompts_.ChooseOpenFile(ui::BrowseChooser(msg::QText(msg::Id::CharactersFilter)));
    if (chosen) {
        settings_.filePath = *chosen;
        // A file that cannot be read is the one the next save creates.
        if (auto loaded = charset::LoadImage(ToPath(settings_.filePath))) {
            settings_.image = std::move(*loaded);
            FillCells();
        }
    }
    ShowSettings();
}

void CSetByteDlg::Save() {
    if (charset::SaveImage(ToPath(settings_.filePath), settings_.image)) {
        prompts_.Message(msg::QText(msg::Id::CannotCreateFile, {settings_.filePath}));
        return;
    }
    ReadControls();
    done(Accepted);
    prompts_.Message(msg::QText(msg::Id::CharactersSaved, {settings_.filePath}));
}

void CSetByteDlg::accept() {
    StoreCells();
}

bool CSetByteDlg::eventFilter(QObject* watched, QEvent* event) {
    if (UserLeaves(entryEdits_[0], watched, event))
        ChangeBlock();
    return QDialog::eventFilter(watched, event);
}

QWidget* CSetByteDlg::FirstFocus() const {
    return browseButton_;
}
