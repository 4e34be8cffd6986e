#include "app/TarvexView.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include "app/DocumentSearch.h"
#include "app/LineGutter.h"
#include "app/LiveCheck.h"
#include "app/ProblemText.h"
#include "app/ProgramCapacity.h"
#include "app/ProgramCompleter.h"
#include "app/ProgramFile.h"
#include "app/ProgramHighlighter.h"
#include "app/TarvexDoc.h"
#include "common/GbkText.h"
#include "common/QtMessages.h"
#include "compiler/InstructionHelp.h"
#include "ui/Colours.h"

namespace {

// Keys whose character the editor inserts: they obey the capacity.
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

constexpr int kMinPointSize = 4;
constexpr int kMaxZoom = 40;

}  // namespace

namespace {

QStringList LocalFiles(const QMimeData* data) {
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths.append(url.toLocalFile());
    }
    return paths;
}

}  // namespace

CTarvexView::CTarvexView(QWidget* parent)
    : QPlainTextEdit(parent), capacity_(std::make_unique<ProgramCapacity>(*document())) {
    setObjectName(QStringLiteral("editor"));
    SetUpLook();

    highlighter_ = new CProgramHighlighter(document());
    highlighter_->SetPalette(palette());
    check_ = new CLiveCheck([this] { return document()->toRawText(); }, this);
    connect(check_, &CLiveCheck::Checked, this, &CTarvexView::ShowProblems);

    AttachGutter();

    FollowEdits();
    UpdateMarks();

    completer_ = std::make_unique<ProgramCompleter>(
        *this, [this](const QString& text) { return RoomFor(text) >= 0; },
        [this] { return viewportMargins().left(); });
}

// Wrapped lines, a fixed-pitch font with Chinese, and a selection that stays visible.
void CTarvexView::SetUpLook() {
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // A fixed pitch keeps operands in columns; Chinese comes from the first CJK font there is.
    baseFont_ = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    baseFont_.setFamilies({baseFont_.family(), QStringLiteral("Noto Sans Mono CJK SC"),
                           QStringLiteral("Noto Sans CJK SC"),
                           QStringLiteral("WenQuanYi Zen Hei Mono"),
                           QStringLiteral("WenQuanYi Micro Hei Mono"), QStringLiteral("NSimSun"),
                           QStringLiteral("SimSun")});
    ApplyFont();
    // The selection stays visible when the editor loses the focus.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Active, QPalette::Highlight));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(colours);
}

void CTarvexView::AttachGutter() {
    gutter_ = new CLineGutter(this);
    connect(this, &QPlainTextEdit::blockCountChanged, this,
            [this] { setViewportMargins(gutter_->Width(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy != 0)
            gutter_->scroll(0, dy);
        else
            gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    });
    setViewportMargins(gutter_->Width(), 0, 0, 0);
}

// Edits move the capacity count, clear the fault mark and schedule the check; the caret's line
// moves the marks, the line indicator and the hint.
void CTarvexView::FollowEdits() {
    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                if (!settingWholeText_)
                    capacity_->CountLines(position, added);
                if (removed == 0 && added == 0)
                    return;
                if (markedLine_ != 0) {
                    markedLine_ = 0;
                    UpdateMarks();
                }
                check_->Schedule();
            });
    // The text document knows the saved point of its undo steps: undoing back to it is unmodified.
    connect(document(), &QTextDocument::modificationChanged, this, [this](bool modified) {
        if (document_ && !document_->loading)
            document_->SetModifiedFlag(modified);
    });
    connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this, line = -1]() mutable {
        const int now = textCursor().blockNumber();
        if (now != line) {
            line = now;
            UpdateMarks();
            gutter_->update();
        }
        // After the edit or move has taken effect, whatever made it (key, paste, undo).
        UpdateLineIndicator();
        UpdateHint();
    });
}

CTarvexView::~CTarvexView() = default;

QCompleter* CTarvexView::Completer() const {
    return completer_->Completer();
}

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
    const QString text = gbk::Decode(bytes);
    // The lines are counted and highlighted here from the text, not edit by edit: a full program
    // has some 36,000 of them, and only those on the screen need their colours now.
    settingWholeText_ = true;
    highlighter_->WithoutHighlighting([this, &text] { ReplaceText(text); });
    settingWholeText_ = false;
    capacity_->CountWholeText(text);
    if (document_)
        document_->loading = wasLoading;
    // Nobody is typing: the new text's problems are wanted now.
    check_->StartNow();
}

// What QPlainTextEdit::setPlainText does, less its pass giving every character the caret's
// format: this editor's text never holds formats of its own.
void CTarvexView::ReplaceText(const QString& text) {
    QTextDocument* doc = document();
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);  // also forgets the undo steps of the text before
    doc->setPlainText(text);
    doc->setUndoRedoEnabled(undo);
    doc->setModified(false);
    moveCursor(QTextCursor::Start);
}

void CTarvexView::HighlightLine(const QTextBlock& block) {
    if (ProgramCapacity::TakeUncoloured(block))
        highlighter_->rehighlightBlock(block);
}

void CTarvexView::HighlightShownLines() {
    const qreal bottom = viewport()->height();
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        if (blockBoundingGeometry(block).translated(offset).top() > bottom)
            break;
        HighlightLine(block);
    }
}

qsizetype CTarvexView::TextBytes() const {
    return capacity_->TextBytes();
}

qsizetype CTarvexView::RoomFor(const QString& text) const {
    const QTextCursor cursor = textCursor();
    QString selected = cursor.selectedText();
    selected.replace(QChar::ParagraphSeparator, u'\n');
    return capacity_->RoomFor(selected, text);
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
    // Every key asks; the pane repaints at once, so only a new text is sent.
    QString text = msg::QText(msg::Id::StatusLine, {QString::number(line)});
    if (text == shownLine_)
        return;
    shownLine_ = text;
    emit LineIndicatorChanged(text);
}

void CTarvexView::keyPressEvent(QKeyEvent* event) {
    if (completer_->TakeKey(event))
        return;
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::ControlModifier) {
        completer_->Update(true);
        return;
    }
    if (InsertsCharacter(event)) {
        const QString typed = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
                                  ? QStringLiteral("\n")
                                  : event->text();
        if (event->key() != Qt::Key_Backspace && RoomFor(typed) < 0) {
            QApplication::beep();
            return;
        }
        QPlainTextEdit::keyPressEvent(event);
        UpdateLineIndicator();
        completer_->Update(false);
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
    const qsizetype keep = ProgramCapacity::FittingLength(text, RoomFor(QString()));
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
    // The printout carries the colours of every line, shown or not.
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next())
        HighlightLine(block);
    print(printer);
}

void CTarvexView::ApplyFont() {
    QFont font = baseFont_;
    font.setPointSizeF(std::max<qreal>(kMinPointSize, baseFont_.pointSizeF() + zoom_));
    setFont(font);
    setTabStopDistance(8 * fontMetrics().averageCharWidth());
    if (gutter_) {
        gutter_->setFont(font);
        setViewportMargins(gutter_->Width(), 0, 0, 0);
    }
    // Larger or smaller letters move every line: the one being worked on stays in sight.
    ensureCursorVisible();
}

void CTarvexView::ZoomIn() {
    if (zoom_ < kMaxZoom) {
        ++zoom_;
        ApplyFont();
    }
}

void CTarvexView::ZoomOut() {
    if (baseFont_.pointSizeF() + zoom_ > kMinPointSize) {
        --zoom_;
        ApplyFont();
    }
}

void CTarvexView::ZoomReset() {
    zoom_ = 0;
    ApplyFont();
}

void CTarvexView::wheelEvent(QWheelEvent* event) {
    if (event->modifiers() & Qt::ControlModifier) {
        const int delta = event->angleDelta().y();
        if (delta > 0)
            ZoomIn();
        else if (delta < 0)
            ZoomOut();
        event->accept();
        return;
    }
    QPlainTextEdit::wheelEvent(event);
}

void CTarvexView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    gutter_->setGeometry(QRect(area.left(), area.top(), gutter_->Width(), area.height()));
}

// The caret's line, and a line a compile reported, stand out from the rest.
void CTarvexView::UpdateMarks() {
    const QPalette& colours = palette();
    const QColor base = colours.color(QPalette::Base);
    QList<QTextEdit::ExtraSelection> marks;
    QTextEdit::ExtraSelection caret;
    caret.format.setBackground(colours::Blend(base, colours.color(QPalette::Highlight), 0.12));
    caret.format.setProperty(QTextFormat::FullWidthSelection, true);
    caret.cursor = textCursor();
    caret.cursor.clearSelection();
    marks.append(caret);
    if (markedLine_ > 0) {
        QTextEdit::ExtraSelection fault;
        fault.format.setBackground(colours::Blend(base, colours::Fault(colours), 0.3));
        fault.format.setProperty(QTextFormat::FullWidthSelection, true);
        fault.cursor = QTextCursor(document()->findBlockByNumber(markedLine_ - 1));
        marks.append(fault);
    }
    setExtraSelections(marks);
}

void CTarvexView::changeEvent(QEvent* event) {
    QPlainTextEdit::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && highlighter_) {
        highlighter_->SetPalette(palette());
        UpdateMarks();
    }
}

void CTarvexView::UpdateHint() {
    const compiler::InstructionDescriptor* instruction =
        CProgramHighlighter::InstructionOf(textCursor().block().text());
    const QString hint =
        instruction ? QString::fromStdString(compiler::OperandHint(*instruction)) : QString();
    if (hint != hint_) {
        hint_ = hint;
        emit OperandHintChanged(hint_);
    }
}

bool CTarvexView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int line = cursorForPosition(help->pos()).blockNumber() + 1;
        for (const compiler::Finding& f : check_->Report().findings) {
            if (f.editorLine == line && highlighter_->IsFaulty(line)) {
                QToolTip::showText(help->globalPos(), QString::fromStdString(f.message), this);
                return true;
            }
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    if (event->type() == QEvent::Paint)
        HighlightShownLines();
    return QPlainTextEdit::viewportEvent(event);
}

void CTarvexView::ShowProblems() {
    QSet<int> lines;
    for (const compiler::Finding& f : check_->Report().findings)
        lines.insert(f.editorLine);
    highlighter_->SetFaultyLines(lines);
    gutter_->update();
}

void CTarvexView::GoToLine(int editorLine) {
    const int line = std::clamp(editorLine, 1, document()->blockCount());
    setTextCursor(QTextCursor(document()->findBlockByNumber(line - 1)));
    centerCursor();
    UpdateLineIndicator();
}

void CTarvexView::ShowFault(int editorLine) {
    GoToLine(editorLine);
    markedLine_ = textCursor().blockNumber() + 1;
    UpdateMarks();
}

bool CTarvexView::GoToProblem(bool forward) {
    const std::vector<compiler::Finding>& findings = check_->Report().findings;
    if (findings.empty()) {
        QApplication::beep();
        return false;
    }
    const int line = textCursor().blockNumber() + 1;
    const compiler::Finding* chosen = forward ? &findings.front() : &findings.back();
    if (forward) {
        for (const compiler::Finding& f : findings) {
            if (f.editorLine > line) {
                chosen = &f;
                break;
            }
        }
    } else {
        for (auto f = findings.rbegin(); f != findings.rend(); ++f) {
            if (f->editorLine < line) {
                chosen = &*f;
                break;
            }
        }
    }
    GoToLine(chosen->editorLine);
    emit StatusMessage(QString::fromStdString(chosen->message));
    return true;
}

bool CTarvexView::NextProblem() {
    return GoToProblem(true);
}

bool CTarvexView::PreviousProblem() {
    return GoToProblem(false);
}

bool CTarvexView::Find(const QString& text, QTextDocument::FindFlags flags) {
    if (text.isEmpty())
        return false;
    const QTextCursor found = search::FindWrapping(*document(), text, textCursor(), flags);
    if (found.isNull()) {
        emit StatusMessage(msg::QText(msg::Id::FindNotFound, {text}));
        return false;
    }
    setTextCursor(found);
    UpdateLineIndicator();
    return true;
}

bool CTarvexView::Replace(const QString& text, const QString& replacement,
                          QTextDocument::FindFlags flags) {
    QTextCursor cursor = textCursor();
    if (cursor.hasSelection() && search::IsMatch(cursor.selectedText(), text, flags)) {
        if (RoomFor(replacement) < 0) {
            QApplication::beep();
            emit StatusMessage(msg::QText(msg::Id::ReplaceBeyondCapacity));
            return false;
        }
        cursor.insertText(replacement);
        setTextCursor(cursor);
    }
    return Find(text, flags);
}

int CTarvexView::ReplaceAll(const QString& text, const QString& replacement,
                            QTextDocument::FindFlags flags) {
    if (text.isEmpty())
        return 0;
    flags &= ~QTextDocument::FindBackward;
    // Counted first: the whole replacement happens only when all of it fits.
    const search::Tally tally = search::CountMatches(*document(), text, replacement, flags);
    if (TextBytes() + tally.growth > programfile::kCapacity) {
        QApplication::beep();
        emit StatusMessage(msg::QText(msg::Id::ReplaceBeyondCapacity));
        return -1;
    }
    search::ReplaceEvery(*document(), text, replacement, flags);
    emit StatusMessage(msg::QText(msg::Id::ReplacedCount, {QString::number(tally.count)}));
    return tally.count;
}
