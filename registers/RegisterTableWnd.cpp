#include "registers/RegisterTableWnd.h"

#include <optional>

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPersistentModelIndex>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

#include "common/FileIo.h"
#include "common/FileRoles.h"
#include "common/QtMessages.h"
#include "registers/AllRegisters.h"
#include "registers/RegisterTableModel.h"
#include "registers/ValueText.h"
#include "ui/DialogControls.h"
#include "ui/Prompts.h"

namespace {

std::filesystem::path PathOf(const QString& path) {
    return std::filesystem::path(path.toStdU16String());
}

QPushButton* MakeButton(msg::Id text, const char* name) {
    QPushButton* button = ui::controls::Button(msg::QText(text), name);
    button->setAutoDefault(false);
    return button;
}

// Reads a whole register file; false, after saying why, when it cannot.
bool ReadFile(ui::Prompts& prompts, const QString& path, registers::AllRead& read) {
    read = registers::ReadAllRegisters(PathOf(path));
    switch (read.status) {
        case registers::ReadAllStatus::CannotOpen:
            prompts.Message(registers::FileErrorText(read.cause, PathOf(path)));
            return false;
        case registers::ReadAllStatus::NotRegisterFile:
            prompts.Message(msg::QText(msg::Id::RegistersNotRegisterFile));
            return false;
        case registers::ReadAllStatus::Done:
            break;
    }
    return true;
}

// Register files or CSV files, an existing one unless the caller says otherwise.
ui::FileChooser Chooser(bool csv) {
    ui::FileChooser chooser;
    chooser.defaultExtension = csv ? QStringLiteral("csv") : QStringLiteral("dat");
    chooser.filter = msg::QText(csv ? msg::Id::RegistersCsvFilter : msg::Id::RegistersFilter);
    chooser.mustExist = true;
    return chooser;
}

// A value the rules refused goes back into a new editor on its cell, as typed, to be corrected.
class KeepRefusedDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (line && refused_ && index == refusedAt_) {
            line->setText(*refused_);
            refused_.reset();
            return;
        }
        QStyledItemDelegate::setEditorData(editor, index);
    }

    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override {
        auto* line = qobject_cast<QLineEdit*>(editor);
        if (!line) {
            QStyledItemDelegate::setModelData(editor, model, index);
            return;
        }
        if (model->setData(index, line->text(), Qt::EditRole))
            return;
        refused_ = line->text();
        refusedAt_ = index;
        auto* view = qobject_cast<QAbstractItemView*>(parent());
        // After this editor has closed.
        QTimer::singleShot(0, view, [view, at = QPersistentModelIndex(index)] {
            if (at.isValid()) {
                view->setCurrentIndex(at);
                view->edit(at);
            }
        });
    }

private:
    mutable std::optional<QString> refused_;
    mutable QPersistentModelIndex refusedAt_;
};

}  // namespace

CRegisterTableWnd::CRegisterTableWnd(ui::Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setWindowTitle(msg::QText(msg::Id::RegistersTableCaption));
    setSizeGripEnabled(true);
    model_ = new RegisterTableModel(this);
    note_ = new QLabel;
    note_->setObjectName(QStringLiteral("note"));
    note_->setWordWrap(true);

    // Rows are added in the tab order.
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(MakePathRow());
    layout->addLayout(MakeComparisonRow());
    layout->addLayout(MakeFindRow());
    layout->addWidget(MakeTable(), 1);
    layout->addWidget(note_);
    layout->addLayout(MakeButtonRow());
    const int rowHeight = table_->verticalHeader()->defaultSectionSize();
    resize(sizeHint().width(), sizeHint().height() + rowHeight * 15);

    connect(model_, &QAbstractItemModel::dataChanged, this, &CRegisterTableWnd::ShowDifferences);
    connect(model_, &QAbstractItemModel::modelReset, this, &CRegisterTableWnd::ShowDifferences);
    connect(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &CRegisterTableWnd::ShowDifferences);
    ShowDifferences();
    connect(model_, &RegisterTableModel::Refused, this, [this](registers::ValueFault) {
        // A line break cannot be typed into the field; what is left is a text too long.
        prompts_.Message(
            msg::QText(msg::Id::FieldTooLong, {QString::number(registers::kMaxValueText)}));
    });
}

QLayout* CRegisterTableWnd::MakePathRow() {
    // A path typed or pasted here opens with Enter, as one chosen by "浏览".
    pathEdit_ = ui::controls::PathEdit("pathEdit");
    QPushButton* browse = MakeButton(msg::Id::DialogBrowse, "browseButton");
    QPushButton* compare = MakeButton(msg::Id::RegistersTableCompare, "compareButton");
    connect(browse, &QPushButton::clicked, this, &CRegisterTableWnd::Browse);
    connect(compare, &QPushButton::clicked, this, &CRegisterTableWnd::ChooseCompare);
    connect(pathEdit_, &QLineEdit::returnPressed, this, &CRegisterTableWnd::OpenTypedPath);
    return ui::controls::Row({pathEdit_, browse, compare});
}

QLayout* CRegisterTableWnd::MakeComparisonRow() {
    previousDifference_ =
        MakeButton(msg::Id::RegistersPreviousDifference, "previousDifferenceButton");
    nextDifference_ = MakeButton(msg::Id::RegistersNextDifference, "nextDifferenceButton");
    previousDifference_->setShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F4));
    nextDifference_->setShortcut(QKeySequence(Qt::Key_F4));
    previousDifference_->setToolTip(QStringLiteral("Shift+F4"));
    nextDifference_->setToolTip(QStringLiteral("F4"));
    differences_ = new QLabel;
    differences_->setObjectName(QStringLiteral("differences"));
    connect(nextDifference_, &QPushButton::clicked, this, [this] { GoToDifference(true); });
    connect(previousDifference_, &QPushButton::clicked, this, [this] { GoToDifference(false); });
    auto* comparison = ui::controls::Row({previousDifference_, nextDifference_, differences_});
    comparison->addStretch(1);
    return comparison;
}

QLayout* CRegisterTableWnd::MakeFindRow() {
    findEdit_ = ui::controls::Edit("findEdit");
    findEdit_->setPlaceholderText(msg::QText(msg::Id::RegistersTableFindHint));
    QPushButton* findNext = MakeButton(msg::Id::RegistersTableFindNext, "findButton");
    auto* findLabel = new QLabel(msg::QText(msg::Id::RegistersTableFind));
    findLabel->setBuddy(findEdit_);
    connect(findNext, &QPushButton::clicked, this, &CRegisterTableWnd::FindNext);
    connect(findEdit_, &QLineEdit::returnPressed, this, &CRegisterTableWnd::FindNext);
    auto* find = new QHBoxLayout;
    find->addWidget(findLabel);
    find->addWidget(findEdit_, 1);
    find->addWidget(findNext);
    return find;
}

QTableView* CRegisterTableWnd::MakeTable() {
    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("registerTable"));
    table_->setModel(model_);
    table_->setItemDelegate(new KeepRefusedDelegate(table_));
    table_->verticalHeader()->hide();
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->setColumnWidth(RegisterTableModel::NumberColumn,
                           table_->fontMetrics().horizontalAdvance(QStringLiteral("S00000")) + 16);
    // A few rows at least; twenty when the screen has room (the table scrolls the rest).
    const int rowHeight = table_->verticalHeader()->defaultSectionSize();
    table_->setMinimumSize(table_->fontMetrics().horizontalAdvance(QString(40, u'0')),
                           rowHeight * 5);
    return table_;
}

QLayout* CRegisterTableWnd::MakeButtonRow() {
    QPushButton* importCsv = MakeButton(msg::Id::RegistersTableImport, "importButton");
    QPushButton* exportCsv = MakeButton(msg::Id::RegistersTableExport, "exportButton");
    QPushButton* save = MakeButton(msg::Id::RegistersSave, "saveButton");
    QPushButton* close = MakeButton(msg::Id::RegistersClose, "closeButton");
    connect(importCsv, &QPushButton::clicked, this, &CRegisterTableWnd::ChooseImport);
    connect(exportCsv, &QPushButton::clicked, this, &CRegisterTableWnd::ChooseExport);
    connect(save, &QPushButton::clicked, this, &CRegisterTableWnd::Save);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(importCsv);
    buttons->addWidget(exportCsv);
    buttons->addStretch(1);
    buttons->addWidget(save);
    buttons->addWidget(close);
    return buttons;
}

QString CRegisterTableWnd::Note() const {
    return note_->text();
}

void CRegisterTableWnd::SetNote(const QString& note) {
    note_->setText(note);
}

bool CRegisterTableWnd::OpenFile(const QString& path) {
    registers::AllRead read;
    if (!ReadFile(prompts_, path, read))
        return false;
    filePath = path;
    pathEdit_->setText(path);
    model_->Load(std::move(read.texts));
    SetNote({});
    ShowDifferences();
    return true;
}

bool CRegisterTableWnd::CompareWith(const QString& path) {
    registers::AllRead read;
    if (!ReadFile(prompts_, path, read))
        return false;
    comparePath = path;
    model_->Compare(std::move(read.texts));
    ShowDifferences();
    SetNote(msg::QText(msg::Id::RegistersTableCompared,
                       {QFileInfo(path).fileName(), QString::number(model_->DifferenceCount())}));
    return true;
}

bool CRegisterTableWnd::Save() {
    if (filePath.isEmpty()) {
        prompts_.Message(msg::QText(msg::Id::RegistersChooseFileFirst));
        return false;
    }
    const registers::WriteResult result =
        registers::WriteAllRegisters(PathOf(filePath), model_->Texts(), &model_->SavedTexts());
    if (result.status != registers::WriteStatus::Done) {
        prompts_.Message(registers::WriteFaultText(result));
        return false;
    }
    model_->MarkSaved();
    const QString note = msg::QText(msg::Id::RegistersTableSavedNote, {filePath});
    SetNote(note);
    emit Saved(note);
    return true;
}

bool CRegisterTableWnd::ExportCsv(const QString& path) {
    if (fileio::OutputOverInput(fileio::FileRoles().In(PathOf(filePath)).Out(PathOf(path)))) {
        prompts_.Message(msg::QText(msg::Id::OutputIsInput, {path}));
        return false;
    }
    if (const std::error_code ec =
            fileio::WriteSafely(PathOf(path), registers::ExportCsv(model_->Texts()))) {
        prompts_.Message(registers::FileErrorText(ec, PathOf(path)));
        return false;
    }
    SetNote(msg::QText(msg::Id::RegistersTableExported, {path}));
    return true;
}

bool CRegisterTableWnd::ImportCsv(const QString& path) {
    std::string bytes;
    if (fileio::ReadLimited(PathOf(path), registers::kMostCsvBytes, bytes) !=
        fileio::ReadStatus::Ok) {
        prompts_.Message(msg::QText(msg::Id::CannotReadFile, {path}));
        return false;
    }
    const registers::CsvRead read = registers::ParseCsv(bytes);
    if (!read.problems.empty()) {
        QStringList lines;
        for (const registers::CsvProblem& problem : read.problems)
            lines << QString::fromStdString(registers::CsvProblemText(problem));
        prompts_.Message(msg::QText(msg::Id::RegistersCsvRefused,
                                    {QFileInfo(path).fileName(), lines.join(u'\n')}));
        return false;
    }
    if (!read.warnings.empty()) {
        QStringList lines;
        for (const registers::CsvWarning& warning : read.warnings)
            lines << QString::fromStdString(registers::CsvWarningText(warning));
        prompts_.Message(lines.join(u'\n'));
    }
    model_->Apply(read.rows);
    SetNote(msg::QText(msg::Id::RegistersTableImported,
                       {QFileInfo(path).fileName(), QString::number(read.rows.size())}));
    return true;
}

void CRegisterTableWnd::FindNext() {
    const QModelIndex current = table_->currentIndex();
    const int row = model_->Find(findEdit_->text(), current.isValid() ? current.row() : -1);
    if (row < 0) {
        SetNote(msg::QText(msg::Id::RegistersTableNotFound, {findEdit_->text()}));
        return;
    }
    const QModelIndex found = model_->index(row, RegisterTableModel::ValueColumn);
    table_->setCurrentIndex(found);
    table_->scrollTo(found, QAbstractItemView::PositionAtCenter);
    SetNote({});
}

void CRegisterTableWnd::OpenTypedPath() {
    const QString typed = pathEdit_->text().trimmed();
    if (typed.isEmpty() || typed == filePath || !AskToSave())
        return;
    // A path that does not open stays in the box to be corrected.
    OpenFile(typed);
}

void CRegisterTableWnd::GoToDifference(bool forward) {
    const QModelIndex current = table_->currentIndex();
    const int from = current.isValid() ? current.row() : (forward ? -1 : model_->rowCount());
    const int row = model_->NextDifference(from, forward);
    if (row < 0) {
        QApplication::beep();
        return;
    }
    const QModelIndex found = model_->index(row, RegisterTableModel::ValueColumn);
    table_->setCurrentIndex(found);
    table_->scrollTo(found, QAbstractItemView::PositionAtCenter);
}

void CRegisterTableWnd::ShowDifferences() {
    const bool comparing = model_->Comparing();
    const int count = model_->DifferenceCount();
    previousDifference_->setEnabled(comparing && count > 0);
    nextDifference_->setEnabled(comparing && count > 0);
    const QModelIndex current = table_->currentIndex();
    if (!comparing)
        differences_->clear();
    else if (current.isValid() && model_->Differs(current.row()))
        differences_->setText(
            msg::QText(msg::Id::RegistersDifferencePosition,
                       {QString::number(model_->DifferencesBefore(current.row()) + 1),
                        QString::number(count)}));
    else
        differences_->setText(
            msg::QText(msg::Id::RegistersDifferenceCount, {QString::number(count)}));
}

void CRegisterTableWnd::Browse() {
    const auto chosen = prompts_.ChooseOpenFile(Chooser(false));
    if (chosen && AskToSave())
        OpenFile(*chosen);
}

void CRegisterTableWnd::ChooseCompare() {
    if (const auto chosen = prompts_.ChooseOpenFile(Chooser(false)))
        CompareWith(*chosen);
}

void CRegisterTableWnd::ChooseExport() {
    ui::FileChooser chooser = Chooser(true);
    chooser.mustExist = false;
    chooser.overwritePrompt = true;
    if (const auto chosen = prompts_.ChooseSaveFile(chooser))
        ExportCsv(*chosen);
}

void CRegisterTableWnd::ChooseImport() {
    if (const auto chosen = prompts_.ChooseOpenFile(Chooser(true)))
        ImportCsv(*chosen);
}

bool CRegisterTableWnd::AskToSave() {
    if (!model_->HasUnsavedValues())
        return true;
    switch (prompts_.Question(msg::QText(msg::Id::RegistersUnsaved))) {
        case ui::Prompts::Answer::Yes:
            return Save();
        case ui::Prompts::Answer::No:
            model_->DropEdits();
            return true;
        case ui::Prompts::Answer::Cancel:
            break;
    }
    return false;
}

void CRegisterTableWnd::done(int result) {
    if (AskToSave())
        QDialog::done(result);
}
