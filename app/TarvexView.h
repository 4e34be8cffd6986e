#pragma once

#include <memory>

#include <QByteArray>
#include <QPlainTextEdit>
#include <QString>
#include <QTextDocument>

class QCompleter;
class QTextBlock;
class QPagedPaintDevice;
class CTarvexDoc;
class CLiveCheck;
class CProgramHighlighter;
class CLineGutter;
class ProgramCapacity;
class ProgramCompleter;

// The editor of the program text: editing, marks and the routing of events; the gutter, the
// byte accounting, completion and search are helpers of their own.
class CTarvexView : public QPlainTextEdit {
    Q_OBJECT
    friend class CLineGutter;  // paints from the view's block geometry

public:
    explicit CTarvexView(QWidget* parent = nullptr);
    ~CTarvexView() override;

    void SetDocument(CTarvexDoc* doc) { document_ = doc; }

    // The whole text as the file holds it: GBK bytes with CR LF.
    QByteArray WholeText() const;
    // Replaces the text; the document is not marked modified by it.
    void SetWholeText(const QByteArray& bytes);
    // Bytes the text would take in the file; kept up to date edit by edit.
    qsizetype TextBytes() const;

    // After a new or opened document: the line pane shows line 1.
    void OnInitialUpdate();
    void UpdateLineIndicator();
    // The caret's display line counted from the top of the text, 1-based.
    int CaretDisplayLine() const;

    void Print(QPagedPaintDevice* printer);

    // Moves to an editor line (1-based, clamped) and shows it.
    void GoToLine(int editorLine);
    // Moves to the line a compile or check reported and marks it until the next edit.
    void ShowFault(int editorLine);
    int MarkedLine() const { return markedLine_; }
    // The next / previous line the live check found faulty, wrapping; false when there is none.
    bool NextProblem();
    bool PreviousProblem();

    // Selects the next match from the caret, wrapping once; false when there is none.
    bool Find(const QString& text, QTextDocument::FindFlags flags);
    // Replaces the selection when it is a match, then finds the next one.
    bool Replace(const QString& text, const QString& replacement, QTextDocument::FindFlags flags);
    // Every match in one undo step; -1 when the result would not fit the capacity.
    int ReplaceAll(const QString& text, const QString& replacement, QTextDocument::FindFlags flags);

    void ZoomIn();
    void ZoomOut();
    void ZoomReset();

    CLiveCheck& LiveCheck() const { return *check_; }
    CProgramHighlighter& Highlighter() const { return *highlighter_; }
    QCompleter* Completer() const;
    // What the mnemonic of the caret's line takes; empty off a known mnemonic.
    QString OperandHint() const { return hint_; }

signals:
    void LineIndicatorChanged(const QString& text);
    void FilesDropped(const QStringList& paths);
    void OperandHintChanged(const QString& hint);
    // A short report for the status bar (a problem's message, a search that found nothing).
    void StatusMessage(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetUpLook();
    void AttachGutter();
    void FollowEdits();
    QString EditorText() const;
    // Whether replacing the selection by `text` keeps the program within the capacity.
    qsizetype RoomFor(const QString& text) const;
    void ShowLine(int line);
    void ReplaceText(const QString& text);
    void HighlightLine(const QTextBlock& block);
    void HighlightShownLines();
    void UpdateMarks();
    void UpdateHint();
    void ApplyFont();
    void ShowProblems();
    bool GoToProblem(bool forward);

    CTarvexDoc* document_ = nullptr;
    bool settingWholeText_ = false;
    std::unique_ptr<ProgramCapacity> capacity_;
    CLineGutter* gutter_ = nullptr;
    CProgramHighlighter* highlighter_ = nullptr;
    CLiveCheck* check_ = nullptr;
    std::unique_ptr<ProgramCompleter> completer_;
    QFont baseFont_;
    int zoom_ = 0;
    int markedLine_ = 0;
    QString hint_;
    QString shownLine_;
};
