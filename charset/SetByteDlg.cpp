#include "charset/SetByteDlg.h"

#include <filesystem>

#include <QEvent>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QShowEvent>
#include <QStringEncoder>

#include "charset/CharacterImage.h"
#include "common/QtMessages.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

const QString kResourceFilter = QStringLiteral("KXCON Files(*.kxm)|*.kxm||");

using ui::FromDialogUnits;
namespace c = ui::controls;

QLineEdit* MakeEdit(QWidget* parent, const QString& name, int id, QRect geometry) {
    QLineEdit* edit = c::Edit(parent, name, id, geometry);
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
    QStringEncoder encoder("GBK");
    const QByteArray bytes = encoder.isValid() ? encoder.encode(QString(c)) : QByteArray();
    return bytes.isEmpty() ? '?' : bytes.front();
}

std::string ThreeDigits(int n) {
    return QStringLiteral("%1").arg(n, 3, 10, QChar('0')).toStdString();
}

std::filesystem::path ToPath(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

}  // namespace

int CSetByteDlg::CellControlId(int group, int j) {
    static constexpr int kGroup1[kCellsPerGroup] = {1014, 1016, 1017, 1018, 1019, 1020, 1021, 1022};
    switch (group) {
        case 0:
            return 1006 + j;
        case 1:
            return kGroup1[j];
        case 2:
            return 1023 + j;
        default:
            return 1031 + j;
    }
}

CSetByteDlg::CSetByteDlg(ui::Prompts& prompts, QWidget* parent)
    : QDialog(parent), image(charset::NewImage()), prompts_(prompts) {
    setWindowTitle(QStringLiteral("显示字符设置"));
    setFixedSize(FromDialogUnits(0, 0, 212, 153).size());

    c::Group(this, QStringLiteral("显示字符文件保存路径"), FromDialogUnits(15, 5, 130, 30));
    pathEdit_ =
        MakeEdit(this, QStringLiteral("pathEdit"), kPathId, FromDialogUnits(25, 15, 110, 15));
    pathEdit_->setAlignment(Qt::AlignLeft);
    pathEdit_->setEnabled(false);
    browseButton_ = c::Button(this, QStringLiteral("浏览"), "browseButton", kBrowseId,
                              FromDialogUnits(155, 15, 40, 15));

    static constexpr int kGroupX[kGroups] = {17, 117, 17, 117};
    static constexpr int kGroupY[kGroups] = {50, 50, 82, 82};
    static constexpr int kGroupHeight[kGroups] = {28, 28, 30, 30};
    static constexpr int kEntryX[kGroups] = {45, 146, 45, 145};
    static constexpr int kEntryY[kGroups] = {49, 49, 81, 81};
    static constexpr int kCellY[kGroups] = {60, 60, 93, 93};
    for (int g = 0; g < kGroups; ++g) {
        c::Group(this, QStringLiteral("位置%1").arg(g),
                 FromDialogUnits(kGroupX[g], kGroupY[g], 85, kGroupHeight[g]));
        entryEdits_[g] = MakeEdit(this, QStringLiteral("entryNumber%1").arg(g), kFirstEntryId + g,
                                  FromDialogUnits(kEntryX[g], kEntryY[g], 20, 12));
        entryEdits_[g]->setEnabled(g == 0);
    }
    entryEdits_[0]->setMaxLength(3);
    entryEdits_[0]->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));

    storeButton_ = c::Button(this, QStringLiteral("数据更新"), "storeButton", kStoreId,
                             FromDialogUnits(35, 131, 45, 14));
    saveButton_ = c::Button(this, QStringLiteral("文件保存"), "saveButton", kSaveId,
                            FromDialogUnits(90, 131, 45, 14));
    cancelButton_ = c::Button(this, QStringLiteral("取消"), "cancelButton", kCancelId,
                              FromDialogUnits(145, 131, 45, 14));
    storeButton_->setDefault(true);

    for (int g = 0; g < kGroups; ++g) {
        for (int j = 0; j < kCellsPerGroup; ++j) {
            const int x = (g % 2 == 0 ? 20 : 120) + 10 * j;
            QLineEdit* cell = MakeEdit(this, QStringLiteral("cell%1_%2").arg(g).arg(j),
                                       CellControlId(g, j), FromDialogUnits(x, kCellY[g], 10, 15));
            cell->setMaxLength(1);
            // Typing or deleting moves on, so an entry's characters go in one run.
            connect(cell, &QLineEdit::textEdited, this, [this] { focusNextChild(); });
            cellEdits_[g * kCellsPerGroup + j] = cell;
        }
    }

    QWidget* previous = browseButton_;
    auto chain = [&previous](QWidget* next) {
        setTabOrder(previous, next);
        previous = next;
    };
    chain(entryEdits_[0]);
    chain(saveButton_);
    chain(cancelButton_);
    for (QLineEdit* cell : cellEdits_)
        chain(cell);
    chain(storeButton_);

    entryEdits_[0]->installEventFilter(this);
    connect(browseButton_, &QPushButton::clicked, this, &CSetByteDlg::Browse);
    connect(storeButton_, &QPushButton::clicked, this, &CSetByteDlg::accept);
    connect(saveButton_, &QPushButton::clicked, this, &CSetByteDlg::Save);
    connect(cancelButton_, &QPushButton::clicked, this, &QDialog::reject);
}

void CSetByteDlg::Refresh() {
    pathEdit_->setText(filePath);
    for (int g = 0; g < kGroups; ++g)
        entryEdits_[g]->setText(QString::fromLatin1(entryNumbers[g].c_str()));
    for (int i = 0; i < kCells; ++i)
        cellEdits_[i]->setText(ShowCell(cells[i]));
}

void CSetByteDlg::TakeFields() {
    entryNumbers[0] = entryEdits_[0]->text().toStdString();
    for (int i = 0; i < kCells; ++i) {
        const QString text = cellEdits_[i]->text();
        if (text != ShowCell(cells[i]))
            cells[i] = text.isEmpty() ? std::string() : std::string(1, CellByte(text));
    }
}

void CSetByteDlg::FillCells() {
    for (int g = 0; g < kGroups; ++g) {
        for (int j = 0; j < kCellsPerGroup; ++j)
            cells[g * kCellsPerGroup + j] =
                std::string(1, image[charset::CellOffset(block + g, j)]);
    }
}

void CSetByteDlg::ChangeBlock() {
    const QString text = entryEdits_[0]->text();
    int n = 0;
    for (int i = 0; i < text.size() && text[i].isDigit() && i < 3; ++i)
        n = n * 10 + text[i].digitValue();
    block = n - n % kGroups;
    for (int g = 0; g < kGroups; ++g)
        entryNumbers[g] = ThreeDigits(block + g);
    entryEdits_[0]->setText(QString::fromStdString(entryNumbers[0]));
    cellEdits_[0]->setFocus(Qt::TabFocusReason);
    FillCells();
    Refresh();
    // Selected, so the block's characters can be typed over in one run.
    cellEdits_[0]->selectAll();
}

void CSetByteDlg::StoreCells() {
    for (int g = 0; g < kGroups; ++g) {
        for (int j = 0; j < kCellsPerGroup; ++j)
            image[charset::CellOffset(block + g, j)] =
                CellByte(cellEdits_[g * kCellsPerGroup + j]->text());
    }
}

void CSetByteDlg::Browse() {
    ui::FileChooser chooser;
    chooser.defaultExtension = QStringLiteral("txt");
    chooser.filter = kResourceFilter;
    chooser.overwritePrompt = true;
    const auto chosen = prompts_.ChooseOpenFile(chooser);
    if (chosen) {
        filePath = *chosen;
        // A file that cannot be read is the one the next save creates.
        if (auto loaded = charset::LoadImage(ToPath(filePath))) {
            image = std::move(*loaded);
            FillCells();
        }
    }
    Refresh();
}

void CSetByteDlg::Save() {
    if (charset::SaveImage(ToPath(filePath), image)) {
        prompts_.Message(msg::QText(msg::Id::CannotCreateFile, {filePath}));
        return;
    }
    TakeFields();
    done(Accepted);
    prompts_.Message(QStringLiteral("生成字符资源文件： %1 ！").arg(filePath));
}

void CSetByteDlg::accept() {
    StoreCells();
}

void CSetByteDlg::done(int result) {
    // Closing takes the focus from the entry number; that is no change of block.
    closing_ = true;
    QDialog::done(result);
    closing_ = false;
}

bool CSetByteDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == entryEdits_[0] && ui::LeavesField(event) && !closing_ && isVisible())
        ChangeBlock();
    return QDialog::eventFilter(watched, event);
}

void CSetByteDlg::showEvent(QShowEvent* event) {
    if (!event->spontaneous()) {
        Refresh();
        browseButton_->setFocus();
    }
    QDialog::showEvent(event);
}
