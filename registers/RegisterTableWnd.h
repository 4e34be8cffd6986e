#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QTableView;
class RegisterTableModel;

namespace ui {
class Prompts;
}

// "寄存器总表": every register of a register file in one table, searched, compared with a second
// file, edited under the value rules, saved in one write, and exported to or imported from CSV.
class CRegisterTableWnd : public QDialog {
    Q_OBJECT

public:
    explicit CRegisterTableWnd(ui::Prompts& prompts, QWidget* parent = nullptr);

    QString filePath;
    QString comparePath;

    // Shows the register file at `path`; false, after saying why, when it cannot.
    bool OpenFile(const QString& path);
    bool CompareWith(const QString& path);
    bool Save();
    bool ExportCsv(const QString& path);
    bool ImportCsv(const QString& path);
    // Selects the next register the search text names or whose value holds it.
    void FindNext();

    RegisterTableModel& Model() { return *model_; }
    QTableView& Table() { return *table_; }
    QString Note() const;

    // Before edits would be dropped: Yes saves, No drops, Cancel (or a failed save) stays.
    bool AskToSave();

    void done(int result) override;

signals:
    // The registers reached the file; for the status bar and the log.
    void Saved(const QString& note);

private:
    // The dialog's rows, each made with its controls' connections.
    QLayout* MakePathRow();
    QLayout* MakeComparisonRow();
    QLayout* MakeFindRow();
    QTableView* MakeTable();
    QLayout* MakeButtonRow();
    void Browse();
    void ChooseCompare();
    void ChooseExport();
    void ChooseImport();
    void SetNote(const QString& note);
    void OpenTypedPath();
    // F4 / Shift+F4: the next or previous register whose value differs from the compared file.
    void GoToDifference(bool forward);
    void ShowDifferences();

    ui::Prompts& prompts_;
    RegisterTableModel* model_;
    QTableView* table_;
    QLineEdit* pathEdit_;
    QLineEdit* findEdit_;
    QLabel* note_;
    QPushButton* previousDifference_;
    QPushButton* nextDifference_;
    QLabel* differences_;
};
