#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QPushButton;
class QShowEvent;

namespace ui {
class Prompts;
}

// The cut-file load dialog: a cut file and a pulse coefficient. No command reaches it and its
// load button does nothing; nothing in the system reads cut files.
class CLoadCutDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr float kMinCoefficient = 0;
    static constexpr float kMaxCoefficient = 99999;

    explicit CLoadCutDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    // Fields; they keep their values from one opening to the next.
    QString filePath;
    float pulseCoefficient = 0;  // pulses per millimetre

    void Refresh();
    // Controls to fields; a coefficient that is no number or out of range is reported, gets the
    // focus, and stops the reading.
    bool TakeFields();

    void Browse();
    void Load();

protected:
    void showEvent(QShowEvent* event) override;

private:
    ui::Prompts& prompts_;
    QPushButton* loadButton_;
    QPushButton* cancelButton_;
    QLineEdit* pathEdit_;
    QPushButton* browseButton_;
    QLineEdit* coefficientEdit_;
};
