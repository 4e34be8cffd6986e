#pragma once

#include <QByteArray>
#include <QPlainTextEdit>
#include <QString>

class QPagedPaintDevice;
class CTarvexDoc;

// The editor of the program text.
class CTarvexView : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit CTarvexView(QWidget* parent = nullptr);
    ~CTarvexView() override;

    void SetDocument(CTarvexDoc* doc) { document_ = doc; }

    // The whole text as the file holds it: GBK bytes with CR LF.
    QByteArray WholeText() const;
    // Replaces the text; the document is not marked modified by it.
    void SetWholeText(const QByteArray& bytes);
    // Bytes the text would take in the file; cached between changes.
    qsizetype TextBytes() const;

    // After a new or opened document: the line pane shows line 1.
    void OnInitialUpdate();
    void UpdateLineIndicator();
    // The caret's display line counted from the top of the text, 1-based.
    int CaretDisplayLine() const;

    void Print(QPagedPaintDevice* printer);

signals:
    void LineIndicatorChanged(const QString& text);
    void FilesDropped(const QStringList& paths);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QString EditorText() const;
    // Whether replacing the selection by `text` keeps the program within the capacity.
    qsizetype RoomFor(const QString& text) const;
    void ShowLine(int line);

    CTarvexDoc* document_ = nullptr;
    mutable qsizetype cachedBytes_ = 0;
    mutable bool bytesKnown_ = true;
};
