#pragma once

#include <QDockWidget>

class QTextDocument;
class QTreeWidget;
class CLiveCheck;

// The live check's findings: editor line and fault text, one row each, the whole compile message
// in the row's tooltip. A click or Enter on a row goes to its line.
class CProblemsDock : public QDockWidget {
    Q_OBJECT

public:
    explicit CProblemsDock(QWidget* parent = nullptr);

    void Show(const CLiveCheck& check, const QTextDocument& text);
    QTreeWidget* List() const { return list_; }

signals:
    void LineChosen(int editorLine);

private:
    QTreeWidget* list_;
};
