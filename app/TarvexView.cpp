#include "app/TarvexView.h"

#include <QAbstractItemView>
#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QCompleter>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontDatabase>
#include <QHelpEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QScrollBar>
#include <QStringListModel>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QToolTip>
#include <QUrl>
#include <QWheelEvent>

#include "app/LiveCheck.h"
#include "app/ProblemText.h"
#include "app/ProgramFile.h"
#include "app/ProgramHighlighter.h"
#include "app/TarvexDoc.h"
#include "common/GbkText.h"
#include "common/QtMessages.h"
#include "compiler/InstructionHelp.h"
#include "compiler/InstructionTable.h"
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

// A line's bytes without its line end. The record goes with its line, so a line that an edit
// removes takes its bytes off the sum as it goes.
class LineBytes : public QTextBlockUserData {
public:
    LineBytes(std::shared_ptr<qsizetype> sum, qsizetype bytes, bool highlighted = true)
        : highlighted(highlighted), sum_(std::move(sum)), bytes_(bytes) {
        *sum_ += bytes_;
    }
    ~LineBytes() override { *sum_ -= bytes_; }
    void Set(qsizetype bytes) {
        *sum_ += bytes - bytes_;
        bytes_ = bytes;
    }

    // False for the lines of a whole new text until they are first shown or printed.
    bool highlighted;

private:
    std::shared_ptr<qsizetype> sum_;
    qsizetype bytes_;
};

QColor Blend(const QColor& a, const QColor& b, double share) {
    return QColor::fromRgbF(float(a.redF() * (1 - share) + b.redF() * share),
                            float(a.greenF() * (1 - share) + b.greenF() * share),
                            float(a.blueF() * (1 - share) + b.blueF() * share));
}

bool AllLetters(QStringView word) {
    for (QChar c : word) {
        const char16_t u = c.unicode();
        if (!((u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z')))
            return false;
    }
    return true;
}

QStringList Mnemonics() {
    QStringList names;
    for (const compiler::InstructionDescriptor& d : compiler::InstructionTable()) {
        if (!d.mnemonic.empty())
            names.append(QString::fromLatin1(d.mnemonic.data(), qsizetype(d.mnemonic.size())));
    }
    names.sort();
    names.removeDuplicates();
    return names;
}

bool SameText(const QString& a, const QString& b, QTextDocument::FindFlags flags) {
    return a.compare(b, flags & QTextDocument::FindCaseSensitively ? Qt::CaseSensitive
                                                                   : Qt::CaseInsensitive) == 0;
}

constexpr int kMinPointSize = 4;
constexpr int kMaxZoom = 40;

}  // namespace

// Line numbers of the editor lines beside the text.
class CLineGutter : public QWidget {
public:
    explicit CLineGutter(CTarvexView* view) : QWidget(view), view_(view) {}
    QSize sizeHint() const override { return {view_->GutterWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { view_->PaintGutter(event); }

private:
    CTarvexView* view_;
};

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
    : QPlainTextEdit(parent), lineBytes_(std::make_shared<qsizetype>(0)) {
    setObjectName(QStringLiteral("editor"));
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

    highlighter_ = new CProgramHighlighter(document());
    highlighter_->SetPalette(palette());
    check_ = new CLiveCheck([this] { return document()->toRawText(); }, this);
    connect(check_, &CLiveCheck::Checked, this, &CTarvexView::ShowProblems);

    gutter_ = new CLineGutter(this);
    connect(this, &QPlainTextEdit::blockCountChanged, this,
            [this] { setViewportMargins(GutterWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, [this](const QRect& rect, int dy) {
        if (dy != 0)
            gutter_->scroll(0, dy);
        else
            gutter_->update(0, rect.y(), gutter_->width(), rect.height());
    });
    setViewportMargins(GutterWidth(), 0, 0, 0);

    connect(document(), &QTextDocument::contentsChange, this,
            [this](int position, int removed, int added) {
                if (!settingWholeText_)
                    CountBlocks(position, added);
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
    UpdateMarks();

    names_ = new QStringListModel(Mnemonics(), this);
    completer_ = new QCompleter(names_, this);
    completer_->setObjectName(QStringLiteral("mnemonicCompleter"));
    completer_->setCaseSensitivity(Qt::CaseInsensitive);
    completer_->setModelSorting(QCompleter::CaseInsensitivelySortedModel);
    completer_->setWidget(this);
    connect(completer_, qOverload<const QString&>(&QCompleter::activated), this,
            &CTarvexView::InsertCompletion);
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
    const QString text = gbk::Decode(bytes);
    // The lines are counted and highlighted here from the text, not edit by edit: a full program
    // has some 36,000 of them, and only those on the screen need their colours now.
    settingWholeText_ = true;
    highlighter_->WithoutHighlighting([this, &text] { ReplaceText(text); });
    settingWholeText_ = false;
    CountAllBlocks(text);
    if (document_)
        document_->loading = wasLoading;
    // Nobody is typing: the new text's problems are wanted now.
    check_->StartNow();
}

// Each line holds its own byte count, so an edit costs only the lines it touched.
void CTarvexView::CountBlocks(int position, int added) {
    QTextBlock block = document()->findBlock(position);
    const QTextBlock last = document()->findBlock(position + added);
    for (; block.isValid(); block = block.next()) {
        const qsizetype bytes = gbk::EncodedLength(block.text());
        if (auto* record = static_cast<LineBytes*>(block.userData()))
            record->Set(bytes);
        else
            block.setUserData(new LineBytes(lineBytes_, bytes));
        if (block == last)
            break;
    }
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

// The text as set: its lines are the blocks, in order. Should the document have split it
// otherwise, the blocks from there on are counted from their own text.
void CTarvexView::CountAllBlocks(QStringView text) {
    qsizetype start = 0;
    for (QTextBlock block = document()->firstBlock(); block.isValid(); block = block.next()) {
        QStringView line;
        if (start >= 0) {
            qsizetype end = start <= text.size() ? text.indexOf(u'\n', start) : -1;
            if (end < 0)
                end = text.size();
            line = text.sliced(std::min(start, end), end - std::min(start, end));
            start = block.length() - 1 == line.size() && start <= text.size() ? end + 1 : -1;
        }
        const qsizetype bytes =
            start >= 0 ? gbk::EncodedLength(line) : gbk::EncodedLength(block.text());
        if (auto* record = static_cast<LineBytes*>(block.userData())) {
            record->Set(bytes);
            record->highlighted = false;
        } else {
            block.setUserData(new LineBytes(lineBytes_, bytes, false));
        }
    }
}

void CTarvexView::HighlightLine(const QTextBlock& block) {
    auto* record = static_cast<LineBytes*>(block.userData());
    if (!record || record->highlighted)
        return;
    record->highlighted = true;
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
    // Every line end is CR LF.
    return *lineBytes_ + 2 * qsizetype(document()->blockCount() - 1);
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
    // Every key asks; the pane repaints at once, so only a new text is sent.
    QString text = msg::QText(msg::Id::StatusLine, {QString::number(line)});
    if (text == shownLine_)
        return;
    shownLine_ = text;
    emit LineIndicatorChanged(text);
}

void CTarvexView::keyPressEvent(QKeyEvent* event) {
    // While the completion list shows, it takes the keys that choose or dismiss; Enter still
    // ends the line unless an entry was chosen with the arrow keys, and Tab takes the first.
    if (QAbstractItemView* popup = completer_->popup(); popup->isVisible()) {
        const bool chosen = popup->currentIndex().isValid();
        switch (event->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                if (!chosen) {
                    popup->hide();
                    break;
                }
                event->ignore();
                return;
            case Qt::Key_Tab:
                if (!chosen) {
                    popup->hide();
                    InsertCompletion(completer_->currentCompletion());
                    return;
                }
                event->ignore();
                return;
            case Qt::Key_Backtab:
            case Qt::Key_Escape:
                event->ignore();
                return;
            default:
                break;
        }
    }
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::ControlModifier) {
        UpdateCompletion(true);
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
        UpdateCompletion(false);
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
        setViewportMargins(GutterWidth(), 0, 0, 0);
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

int CTarvexView::GutterWidth() const {
    int digits = 1;
    for (int n = std::max(1, document()->blockCount()); n >= 10; n /= 10)
        ++digits;
    return 8 + fontMetrics().horizontalAdvance(u'9') * std::max(digits, 3);
}

void CTarvexView::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    gutter_->setGeometry(QRect(area.left(), area.top(), GutterWidth(), area.height()));
}

void CTarvexView::PaintGutter(QPaintEvent* event) {
    QPainter painter(gutter_);
    const QPalette& colours = palette();
    painter.fillRect(event->rect(), colours.color(QPalette::Window));
    const QColor plain =
        Blend(colours.color(QPalette::WindowText), colours.color(QPalette::Window), 0.45);
    const QColor current = colours.color(QPalette::WindowText);
    const int caretBlock = textCursor().blockNumber();
    const int height = fontMetrics().height();
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    while (block.isValid() && top <= event->rect().bottom()) {
        const int bottom = top + qRound(blockBoundingRect(block).height());
        if (block.isVisible() && bottom >= event->rect().top()) {
            const int number = block.blockNumber();
            if (CProgramHighlighter::IsFaulty(block))
                painter.fillRect(0, top, 3, bottom - top, colours::Fault(colours));
            QFont font = painter.font();
            font.setBold(number == caretBlock);
            painter.setFont(font);
            painter.setPen(number == caretBlock ? current : plain);
            painter.drawText(0, top, gutter_->width() - 4, height, Qt::AlignRight,
                             QString::number(number + 1));
        }
        block = block.next();
        top = bottom;
    }
}

// The caret's line, and a line a compile reported, stand out from the rest.
void CTarvexView::UpdateMarks() {
    const QPalette& colours = palette();
    const QColor base = colours.color(QPalette::Base);
    QList<QTextEdit::ExtraSelection> marks;
    QTextEdit::ExtraSelection caret;
    caret.format.setBackground(Blend(base, colours.color(QPalette::Highlight), 0.12));
    caret.format.setProperty(QTextFormat::FullWidthSelection, true);
    caret.cursor = textCursor();
    caret.cursor.clearSelection();
    marks.append(caret);
    if (markedLine_ > 0) {
        QTextEdit::ExtraSelection fault;
        fault.format.setBackground(Blend(base, colours::Fault(colours), 0.3));
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

// The word before the caret and what completes it: a mnemonic where the mnemonic goes, a label
// the program defines where an operand goes.
void CTarvexView::UpdateCompletion(bool forced) {
    const QTextCursor cursor = textCursor();
    const QString line = cursor.block().text();
    const int position = cursor.positionInBlock();
    QAbstractItemView* popup = completer_->popup();
    CProgramHighlighter::Scan scan;
    CProgramHighlighter::ScanLine(line, scan);
    int start = 0;
    const QStringView mnemonic =
        CProgramHighlighter::MnemonicOf(QStringView(line).left(position), &start);
    const int mnemonicEnd = start + int(mnemonic.size());
    const bool atMnemonic = mnemonicEnd == position;
    int from = position;
    while (!atMnemonic && from > mnemonicEnd &&
           (line[from - 1].isLetterOrNumber() || line[from - 1] == u'_'))
        --from;
    const QStringView word = atMnemonic ? mnemonic : QStringView(line).mid(from, position - from);
    const bool endsAtCaret =
        position <= scan.codeEnd && (position == line.size() || !line[position].isLetterOrNumber());
    const bool nameStart = !word.isEmpty() && word.front().isLetter() &&
                           (atMnemonic ? AllLetters(word) : from > mnemonicEnd);
    if (!endsAtCaret || !nameStart || (!forced && word.size() < 2)) {
        popup->hide();
        return;
    }
    // Labels are read afresh each time, as typing changes them; mnemonics never change.
    if (!atMnemonic || completingLabels_) {
        completingLabels_ = !atMnemonic;
        QStringList names = completingLabels_ ? LabelNames(*document()) : Mnemonics();
        names.sort(Qt::CaseInsensitive);
        names_->setStringList(names);
    }
    completer_->setCompletionPrefix(word.toString());
    if (completer_->completionCount() == 0 ||
        (!forced && completer_->completionCount() == 1 &&
         completer_->currentCompletion().compare(word, Qt::CaseInsensitive) == 0)) {
        popup->hide();
        return;
    }
    QRect place = cursorRect();
    place.translate(viewportMargins().left(), 0);
    place.setWidth(popup->sizeHintForColumn(0) + popup->verticalScrollBar()->sizeHint().width());
    completer_->complete(place);
}

void CTarvexView::InsertCompletion(const QString& completion) {
    const QString prefix = completer_->completionPrefix();
    QString rest = completion.mid(prefix.size());
    // Typed in small letters, completed in small letters; a label keeps its own spelling.
    if (!completingLabels_ && !prefix.isEmpty() && prefix == prefix.toLower())
        rest = rest.toLower();
    if (RoomFor(rest) < 0) {
        QApplication::beep();
        return;
    }
    QTextCursor cursor = textCursor();
    cursor.insertText(rest);
    setTextCursor(cursor);
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
    QTextCursor found = document()->find(text, textCursor(), flags);
    if (found.isNull()) {
        QTextCursor from(document());
        if (flags & QTextDocument::FindBackward)
            from.movePosition(QTextCursor::End);
        found = document()->find(text, from, flags);
    }
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
    if (cursor.hasSelection() && SameText(cursor.selectedText(), text, flags)) {
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
    int count = 0;
    qsizetype growth = 0;
    const qsizetype replacementBytes = gbk::EncodedLength(replacement);
    for (QTextCursor at = document()->find(text, 0, flags); !at.isNull();
         at = document()->find(text, at, flags)) {
        ++count;
        growth += replacementBytes - gbk::EncodedLength(at.selectedText());
    }
    if (TextBytes() + growth > programfile::kCapacity) {
        QApplication::beep();
        emit StatusMessage(msg::QText(msg::Id::ReplaceBeyondCapacity));
        return -1;
    }
    QTextCursor step(document());
    step.beginEditBlock();
    for (QTextCursor at = document()->find(text, 0, flags); !at.isNull();
         at = document()->find(text, at, flags))
        at.insertText(replacement);
    step.endEditBlock();
    emit StatusMessage(msg::QText(msg::Id::ReplacedCount, {QString::number(count)}));
    return count;
}
