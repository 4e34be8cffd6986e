#pragma once

#include <optional>

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

    // They keep their values from one opening to the next.
    struct Settings {
        QString filePath;
        float pulseCoefficient = 0;  // pulses per millimetre
    };
    Settings settings() const { return settings_; }
    // Kept for the next opening, and shown now if the dialog is open.
    void setSettings(const Settings& settings) {
        settings_ = settings;
        ShowSettings();
    }
    // The controls read back and kept; a coefficient that is no number or out of range is
    // reported, gets the focus, and nothing is returned.
    std::optional<Settings> CheckedSettings();

    void Browse();
    void Load();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowSettings();

    Settings settings_;
    ui::Prompts& prompts_;
    QPushButton* loadButton_;
    QPushButton* cancelButton_;
    QLineEdit* pathEdit_;
    QPushButton* browseButton_;
    QLineEdit* coefficientEdit_;
};
