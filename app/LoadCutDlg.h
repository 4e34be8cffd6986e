#pragma once

#include <optional>

#include <QString>

#include "ui/SettingsDialog.h"

class QLineEdit;
class QPushButton;

// They keep their values from one opening to the next.
struct LoadCutSettings {
    QString filePath;
    float pulseCoefficient = 0;  // pulses per millimetre
};

// The cut-file load dialog: a cut file and a pulse coefficient. No command reaches it and its
// load button does nothing; nothing in the system reads cut files.
class CLoadCutDlg : public ui::SettingsDialog<LoadCutSettings> {
    Q_OBJECT

public:
    static constexpr float kMinCoefficient = 0;
    static constexpr float kMaxCoefficient = 99999;

    using Settings = LoadCutSettings;

    explicit CLoadCutDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    // The controls read back and kept; a coefficient that is no number or out of range is
    // reported, gets the focus, and nothing is returned.
    std::optional<Settings> CheckedSettings();

    void Browse();
    void Load();

private:
    void ShowSettings() override;
    QWidget* FirstFocus() const override;

    QPushButton* loadButton_;
    QPushButton* cancelButton_;
    QLineEdit* pathEdit_;
    QPushButton* browseButton_;
    QLineEdit* coefficientEdit_;
};
