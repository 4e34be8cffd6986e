#pragma once

#include <array>
#include <string>

#include <QString>

#include "ui/SettingsDialog.h"

class QLayout;
class QLineEdit;
class QPushButton;

// They keep their values from one opening to the next. Texts are single-byte strings.
struct SetByteSettings {
    static constexpr int kGroups = 4;
    static constexpr int kCellsPerGroup = 8;
    static constexpr int kCells = kGroups * kCellsPerGroup;

    std::string image;
    std::array<std::string, kGroups> entryNumbers{"000", "001", "002", "003"};
    std::array<std::string, kCells> cells;  // cell j of group g at 8g + j; at most one character
    QString filePath;                       // set only by Browse
    int block = 0;  // entry of group 0 since the last change of block, a multiple of 4
};

// The display character editor: four entries of the character resource at a time, eight
// one-character cells each, stored into the image with "数据更新" and written with "文件保存".
class CSetByteDlg : public ui::SettingsDialog<SetByteSettings> {
    Q_OBJECT

public:
    using Settings = SetByteSettings;
    static constexpr int kGroups = Settings::kGroups;
    static constexpr int kCellsPerGroup = Settings::kCellsPerGroup;
    static constexpr int kCells = Settings::kCells;
    explicit CSetByteDlg(ui::Prompts& prompts, QWidget* parent = nullptr);

    void Browse();
    void ChangeBlock();
    // "数据更新", the OK command: stores the cells into the image; the dialog stays open.
    void StoreCells();
    void Save();
    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLayout* MakeGroups();
    void ShowSettings() override;
    QWidget* FirstFocus() const override;
    void ReadControls();
    void FillCells();

    QLineEdit* pathEdit_;
    std::array<QLineEdit*, kGroups> entryEdits_{};
    std::array<QLineEdit*, kCells> cellEdits_{};
    QPushButton* browseButton_;
    QPushButton* storeButton_;
    QPushButton* saveButton_;
    QPushButton* cancelButton_;
};
