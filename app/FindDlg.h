#pragma once

#include <QDialog>
#include <QTextDocument>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class CTarvexView;

// Find and replace in the editor; stays open beside it while the user edits.
class CFindDlg : public QDialog {
    Q_OBJECT

public:
    CFindDlg(CTarvexView& view, QWidget* parent);

    // Shows the dialog with or without the replace row, the selection as the text to find.
    void ShowFind(bool replace);
    // F3 / Shift+F3: the last search again, down or up; opens the dialog when there was none.
    void FindAgain(bool backward);

    QLineEdit* findEdit = nullptr;
    QLineEdit* replaceEdit = nullptr;
    QCheckBox* matchCase = nullptr;
    QCheckBox* upward = nullptr;
    QPushButton* findNextButton = nullptr;
    QPushButton* replaceButton = nullptr;
    QPushButton* replaceAllButton = nullptr;
    QLabel* status = nullptr;

private:
    QTextDocument::FindFlags Flags(bool backward) const;
    void OnFindNext();
    void OnReplace();
    void OnReplaceAll();

    CTarvexView& view_;
    QLabel* replaceLabel_ = nullptr;
};
