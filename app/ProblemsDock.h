#pragma once

#include <QDockWidget>

class QTreeWidget;
class CLiveCheck;

// The live check's findings: editor line, code line and the compile's message, one row each.
// A click or Enter on a row goes to its line.
class CProblemsDock : public QDockWidget {
    Q_OBJECT

public:
    explicit CProblemsDock(QWidget* parent = nullptr);

    void Show(const CLiveCheck& check);
    QTreeWidget* List() const { return list_; }

signals:
    void LineChosen(int editorLine);

private:
    QTreeWidget* list_;
};
