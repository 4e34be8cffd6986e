#include "app/TarvexView.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QUrl>

#include "app/GbkText.h"
#include "app/ProgramFile.h"
#include "app/TarvexDoc.h"
#include "common/QtMessages.h"

namespace {

// Keys whose character the editor inserts after the key-down has been seen: the pane shows the
// line the key was pressed on, and the next key or click shows where the caret went.
bool InsertsCharacter(const QKeyEvent* event) {
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Backspace:
        case Qt::Key_Tab:
            return true;
        default:
            return !event->text().isEmpty() && event->text().at(0).isPrint();
    }
}

QStringList LocalFiles(const QMimeData* data) {
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

}  // namespace

CTarvexView::CTarvexView(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("editor"));
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setTabStopDistance(8 * fontMetrics().averageCharWidth());
    // The selection stays visible when the editor loses the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
    connect(document(), &QTextDocument::contentsChange, this, [this](int, int removed, int added) {
        if (removed == 0 && added == 0)
            return;
        bytesKnown_ = false;
        if (document_ && !document_->loading)
            document_->SetModifiedFlag(true);
    });
}

CTarvexView::~CTarvexView() = default;

QString CTarvexView::EditorText() const {
    QString text = document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    return text;
}

QByteArray CTarvexView::WholeText() const {
    return gbk::Encode(EditorText());
}

void CTarvexView::SetWholeText(const QByteArray& bytes) {
    const bool wasLoading = document_ ? document_->loading : false;
    if (document_)
        document_->loading = true;
    setPlainText(gbk::Decode(bytes));
    if (document_)
        document_->loading = wasLoading;
    cachedBytes_ = bytes.size();
    bytesKnown_ = true;
}

qsizetype CTarvexView::TextBytes() const {
    if (!bytesKnown_) {
        cachedBytes_ = gbk::EncodedLength(EditorText());
        bytesKnown_ = true;
    }
    return cachedBytes_;
}

qsizetype CTarvexView::RoomFor(const QString& text) const {
    const QTextCursor cursor = textCursor();
    QString selected = cursor.selectedText();
    selected.replace(QChar::ParagraphSeparator, u'\n');
    const qsizetype free = programfile::kCapacity - TextBytes() + gbk::EncodedLength(selected);
    return free - gbk::EncodedLength(text);
}

void CTarvexView::OnInitialUpdate() {
    ShowLine(1);
}

int CTarvexView::CaretDisplayLine() const {
    const QTextCursor cursor = textCursor();
    const QTextBlock block = cursor.block();
    int lineInBlock = 0;
    if (const QTextLayout* layout = block.layout(); layout && layout->lineCount() > 0) {
        const QTextLine line = layout->lineForTextPosition(cursor.positionInBlock());
        if (line.isValid())
            lineInBlock = line.lineNumber();
    }
    return block.firstLineNumber() + lineInBlock + 1;
}

void CTarvexView::UpdateLineIndicator() {
    ShowLine(CaretDisplayLine());
}

void CTarvexView::ShowLine(int line) {
    emit LineIndicatorChanged(msg::QText(msg::Id::StatusLine, {QString::number(line)}));
}

void CTarvexView::keyPressEvent(QKeyEvent* event) {
    if (InsertsCharacter(event)) {
        UpdateLineIndicator();
        const QString typed = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
                                  ? QStringLiteral("\n")
                                  : event->text();
        if (event->key() != Qt::Key_Backspace && RoomFor(typed) < 0) {
            QApplication::beep();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
    UpdateLineIndicator();
}

// Chinese is typed through an input method: its committed text obeys the capacity as keys do.
void CTarvexView::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && RoomFor(event->commitString()) < 0) {
        QApplication::beep();
        QInputMethodEvent withoutCommit(event->preeditString(), event->attributes());
        QPlainTextEdit::inputMethodEvent(&withoutCommit);
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void CTarvexView::mousePressEvent(QMouseEvent* event) {
    QPlainTextEdit::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        UpdateLineIndicator();
}

bool CTarvexView::canInsertFromMimeData(const QMimeData* source) const {
    return !source->hasUrls() && QPlainTextEdit::canInsertFromMimeData(source);
}

void CTarvexView::insertFromMimeData(const QMimeData* source) {
    if (!source->hasText())
        return;
    QString text = source->text();
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    // What does not fit is cut off, as the edit control does with a paste beyond its limit.
    qsizetype room = RoomFor(QString());
    qsizetype keep = 0;
    for (; keep < text.size(); ++keep) {
        const qsizetype needed = gbk::EncodedLength(QStringView(text).mid(keep, 1));
        if (needed > room)
            break;
        room -= needed;
    }
    if (keep > 0 && keep < text.size() && text[keep - 1].isHighSurrogate())
        --keep;
    if (keep == 0 && !text.isEmpty()) {
        QApplication::beep();
        return;
    }
    textCursor().insertText(text.left(keep));
    ensureCursorVisible();
}

void CTarvexView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragEnterEvent(event);
}

void CTarvexView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
        return;
    }
    QPlainTextEdit::dragMoveEvent(event);
}

void CTarvexView::dropEvent(QDropEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
        emit FilesDropped(LocalFiles(event->mimeData()));
        return;
    }
    QPlainTextEdit::dropEvent(event);
}

void CTarvexView::Print(QPagedPaintDevice* printer) {
    print(printer);
}
