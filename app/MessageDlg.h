#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QShowEvent;

// The small modeless information window. The view keeps the object for its whole life; the
// window comes and goes.
class CMessageDlg : public QDialog {
    Q_OBJECT

public:
    CMessageDlg();

    bool openFlag = false;
    QString text;

    // Shows the window at `topLeft` (global coordinates) over `owner`, as a new window each time.
    void Open(QWidget* owner, const QPoint& topLeft);
    void Refresh();

    // Enter does not close it.
    void accept() override;
    // The close box, the system menu's close and Esc all end the window and clear the flag.
    void reject() override;

    QLineEdit* textEdit;

protected:
    void showEvent(QShowEvent* event) override;
};
