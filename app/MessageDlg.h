#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;
class QPushButton;

namespace ui {
class ActivityLog;
class Prompts;
}  // namespace ui

// The information window: a modeless, resizable, read-only view of the activity log with Save
// and Clear. The frame keeps the object for its whole life; the window comes and goes.
class CMessageDlg : public QDialog {
    Q_OBJECT

public:
    CMessageDlg(ui::ActivityLog& log, ui::Prompts& prompts);

    bool openFlag = false;

    // Shows the window at `topLeft` (global coordinates) over `owner`, as a new window each time.
    void Open(QWidget* owner, const QPoint& topLeft);
    // Writes the lines to a file the user chooses.
    void Save();

    // Enter does not close it.
    void accept() override;
    // The close box, the system menu's close and Esc all end the window and clear the flag.
    void reject() override;

    QPlainTextEdit* textEdit;

private:
    ui::ActivityLog& log_;
    ui::Prompts& prompts_;
    QPushButton* saveButton_;
    QPushButton* clearButton_;
};
