#pragma once

#include <vector>

#include <QJsonObject>
#include <QWidget>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTableWidget;

namespace ui {
class Prompts;
}

namespace station {

// "What went into unit 37, and why did unit 41 fail?": the unit ledger as a table, filtered,
// with the steps of the chosen unit, its golden comparison, its trace and its report.
class RecordsWindow : public QWidget {
    Q_OBJECT
public:
    RecordsWindow(ui::Prompts& prompts, QString ledgerPath, QWidget* parent = nullptr);

    // Reads the ledger again and shows the records the filter lets through.
    void Reload();
    void ApplyFilter();
    const std::vector<QJsonObject>& Shown() const { return shown; }
    void SelectRow(int row);
    QString Details() const;

    void ExportCsv();
    void OpenTrace();
    void PrintReport();
    // Runs the chosen unit again against a virtual controller replaying its trace.
    void Replay();

    // The `tarvex` that serves the virtual controller.
    QString tool;

private:
    void ShowDetails();
    const QJsonObject* Current() const;

    ui::Prompts& prompts;
    QString ledgerPath;
    std::vector<QJsonObject> records;
    std::vector<QJsonObject> shown;
    QLineEdit* unitFilter;
    QLineEdit* jobFilter;
    QCheckBox* sinceOn;
    QDateEdit* since;
    QCheckBox* failedOnly;
    QTableWidget* table;
    QPlainTextEdit* details;
    QPushButton* exportCsv;
    QPushButton* openTrace;
    QPushButton* printReport;
    QPushButton* replay;
};

}  // namespace station
