#pragma once

#include <array>
#include <filesystem>
#include <string>

#include <QString>

#include "registers/RegisterFile.h"
#include "ui/SettingsDialog.h"

class QGroupBox;
class QLineEdit;
class QPushButton;
class QKeyEvent;

// They keep their values from one opening to the next. Texts are single-byte strings.
struct SetParSettings {
    int pageBase = 0;
    std::array<std::string, registers::kPageSize> registerNumbers;  // "S0000" style; row 0 is typed
    std::array<std::string, registers::kPageSize> values;
    QString filePath;  // set only by Browse
};

// The register settings editor: one page of 24 registers of a register file, their value texts,
// the page chosen by typing its first register number, and the page written back on save.
class CSetParDlg : public ui::SettingsDialog<SetParSettings> {
    Q_OBJECT

public:
    static constexpr int kRows = registers::kPageSize;
    static constexpr int kNumberLimit = 5;
    static constexpr int kValueLimit = 9;

    using Settings = SetParSettings;

    explicit CSetParDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    void Browse();
    void ChangePage();
    // Moves to the page at `base` as a typed number would; other bases are ignored.
    void MovePage(int base);
    void Save();
    // Values on the shown page differ from what was last read from or written to the file.
    bool HasUnsavedValues() const;
    // The OK command (Enter): keeps the typed values without writing them.
    void accept() override;
    void done(int result) override;

signals:
    // A page reached the file; for the status bar and the log.
    void Saved(const QString& note);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QGroupBox* MakeRows();
    void ShowSettings() override;
    QWidget* FirstFocus() const override;
    // Controls to settings; a text over its limit is reported, gets the focus, and nothing is
    // taken.
    bool ReadControls();
    void ShowPageNumbers();
    bool ReadPage();
    bool WritePage();
    // Before typed values would be dropped: Yes saves, No drops, Cancel (or a failed save) stays.
    bool AskToSave();
    bool PageKey(const QKeyEvent& key);
    std::filesystem::path Path() const;

    // The whole page as last read or written; the shown values go into it on save.
    registers::PageTexts pageTexts_;
    std::array<QLineEdit*, kRows> numberEdits_{};
    std::array<QLineEdit*, kRows> valueEdits_{};
    QLineEdit* pathEdit_;
    QPushButton* browseButton_;
    QPushButton* saveButton_;
    QPushButton* closeButton_;
    // The page's texts as last read or saved: what typed values are compared with.
    std::array<std::string, kRows> baseline_;
};
