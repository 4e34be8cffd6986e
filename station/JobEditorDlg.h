#pragma once

#include <array>
#include <vector>

#include <QDialog>

#include "jobs/JobFile.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace ui {
class Prompts;
}

namespace station {

struct JobEditorSettings {
    QString jobPath;  // empty until the job is saved
    jobs::Job job;    // files as the job names them: relative to its folder once it has one
};

// Builds or edits a job: a program, a register file, a screen and the stamp, checked and approved
// by the job core; the fields hold values only.
class JobEditorDlg : public QDialog {
    Q_OBJECT
public:
    JobEditorDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    // The editor from the Tools menu: a new job of the open program, if there is one.
    static void Run(ui::Prompts& prompts, const QString& openProgram, QWidget* parent);

    JobEditorSettings settings() const;
    void setSettings(const JobEditorSettings& value);

    bool Open(const QString& jobPath);
    // Writes the job (asking where the first time); false when cancelled or not written.
    bool Save();
    // Lists every problem the job check finds, each under the field it belongs to.
    void Check();
    void Approve();
    QStringList Problems() const;
    QString NextUnitsText() const;

private:
    QGroupBox* BuildSteps();
    QGroupBox* BuildStamp();
    QLineEdit* FileField(QWidget* parent, msg::Id filter);
    QString FieldLabel(const std::optional<std::size_t>& step) const;
    void ShowPreviews();
    void ImportPicture();

    ui::Prompts& prompts;
    QString jobPath;
    jobs::Job kept;  // what no field shows: the approval, extra steps
    QLabel* jobLabel;
    QLineEdit* program;
    QSpinBox* programNumber;
    QLineEdit* params;
    QSpinBox* page;
    QLineEdit* screenFile;
    QComboBox* screenKind;
    QSpinBox* screenNumber;
    std::array<QSpinBox*, 4> screenRegisters{};
    screen::ImportOptions picture;
    QLabel* picturePreview;
    QComboBox* stampKind;
    QSpinBox* stampRegister;
    QSpinBox* stampStart;
    QSpinBox* stampStep;
    QSpinBox* stampDigits;
    QLineEdit* stampCsv;
    QLabel* nextUnits;
    QCheckBox* pinOn;
    QLineEdit* pin;
    QListWidget* problems;
};

}  // namespace station
