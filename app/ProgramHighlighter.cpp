#include "app/ProgramHighlighter.h"

#include <string>

#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>

#include "compiler/InstructionTable.h"
#include "ui/Colours.h"

namespace {

using Kind = CProgramHighlighter::Kind;

// In the order the compile tries them: an apostrophe anywhere wins over an earlier semicolon.
constexpr char16_t kCommentMarkers[] = {u'\'', u';', u'\uFF1B', u'\u2018', u'\u2019'};

bool IsBlank(QChar c) {
    const char16_t u = c.unicode();
    return u == ' ' || u == '\t' || u == '\n' || u == '\r' || u == '\v' || u == '\f';
}

bool IsDigit(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

char16_t Upper(char16_t c) {
    return c >= 'a' && c <= 'z' ? char16_t(c - 'a' + 'A') : c;
}

int SkipBlanks(QStringView text, int from, int to) {
    while (from < to && IsBlank(text[from]))
        ++from;
    return from;
}

int TrimEnd(QStringView text, int from, int to) {
    while (to > from && IsBlank(text[to - 1]))
        --to;
    return to;
}

int CommentStart(QStringView line) {
    for (char16_t marker : kCommentMarkers) {
        if (const qsizetype at = line.indexOf(QChar(marker)); at >= 0)
            return int(at);
    }
    return int(line.size());
}

const compiler::InstructionDescriptor* Lookup(QStringView word) {
    if (word.isEmpty() || word.size() > 16)
        return nullptr;
    std::string upper;
    for (QChar c : word) {
        if (c.unicode() >= 0x80)
            return nullptr;
        upper += char(Upper(c.unicode()));
    }
    return compiler::FindInstruction(upper);
}

Kind RegisterKind(char16_t letter) {
    switch (Upper(letter)) {
        case 'M':
            return Kind::RegisterM;
        case 'F':
            return Kind::RegisterF;
        case 'S':
            return Kind::RegisterS;
        case 'B':
            return Kind::RegisterB;
        case 'I':
            return Kind::RegisterI;
        case 'J':
            return Kind::RegisterJ;
        case 'O':
            return Kind::RegisterO;
        default:
            return Kind::Count;
    }
}

// What an operand piece is by its first characters, as the encoder decides it.
Kind OperandKind(QStringView piece) {
    const QChar first = piece.front();
    if (IsDigit(first) || first == u'-')
        return Kind::Number;
    if (piece.size() >= 2 && IsDigit(piece[1])) {
        if (const Kind k = RegisterKind(first.unicode()); k != Kind::Count)
            return k;
    }
    return Kind::LabelUse;
}

}  // namespace

QStringView CProgramHighlighter::MnemonicOf(QStringView line, int* start) {
    const int end = CommentStart(line);
    int from = SkipBlanks(line, 0, end);
    if (const qsizetype colon = line.left(end).indexOf(u':', from); colon >= 0)
        from = SkipBlanks(line, int(colon) + 1, end);
    int to = from;
    while (to < end && line[to] != u' ')
        ++to;
    if (start)
        *start = from;
    return line.mid(from, TrimEnd(line, from, to) - from);
}

const compiler::InstructionDescriptor* CProgramHighlighter::InstructionOf(QStringView line) {
    return Lookup(MnemonicOf(line));
}

void CProgramHighlighter::ScanLine(QStringView line, Scan& scan) {
    scan.spans.clear();
    const int comment = CommentStart(line);
    if (comment < line.size())
        scan.spans.push_back({comment, int(line.size()) - comment, Kind::Comment});
    scan.codeStart = SkipBlanks(line, 0, comment);
    scan.codeEnd = TrimEnd(line, scan.codeStart, comment);
    const int end = scan.codeEnd;

    int from = scan.codeStart;
    if (const qsizetype colon = line.left(end).indexOf(u':', from); colon >= 0) {
        scan.spans.push_back({from, int(colon) + 1 - from, Kind::LabelDefinition});
        from = SkipBlanks(line, int(colon) + 1, end);
    }
    int to = from;
    while (to < end && line[to] != u' ')
        ++to;
    if (const auto* d = Lookup(line.mid(from, to - from)); d && d->group >= 1 && d->group <= 6)
        scan.spans.push_back({from, to - from, static_cast<Kind>(d->group - 1)});

    // Operands: pieces between commas, each judged by how it starts.
    int piece = to + 1;
    while (piece < end) {
        qsizetype comma = line.left(end).indexOf(u',', piece);
        const int pieceEnd = comma < 0 ? end : int(comma);
        const int s = SkipBlanks(line, piece, pieceEnd);
        const int e = TrimEnd(line, s, pieceEnd);
        if (e > s)
            scan.spans.push_back({s, e - s, OperandKind(line.mid(s, e - s))});
        piece = pieceEnd + 1;
    }
}

CProgramHighlighter::CProgramHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    SetPalette(QPalette());
    // A line split at its start keeps its mark on the part left empty; the mark goes to the
    // text that moved down.
    connect(document, &QTextDocument::contentsChange, this,
            [this, document](int position, int, int added) {
                if (added == 0 || this->document() != document)
                    return;
                QTextBlock split = document->findBlock(position);
                const QTextBlock next = split.next();
                if (!IsFaulty(split) || !next.isValid() || !split.text().trimmed().isEmpty())
                    return;
                split.setUserState(-1);
                QTextBlock moved = document->findBlock(position + added);
                moved.setUserState(kFaulty);
                rehighlightBlock(split);
                rehighlightBlock(moved);
            });
}

bool CProgramHighlighter::StopListening() {
    return document() && disconnect(document(), SIGNAL(contentsChange(int, int, int)), this,
                                    SLOT(_q_reformatBlocks(int, int, int)));
}

void CProgramHighlighter::Listen() {
    connect(document(), SIGNAL(contentsChange(int, int, int)), this,
            SLOT(_q_reformatBlocks(int, int, int)));
}

void CProgramHighlighter::SetPalette(const QPalette& palette) {
    const QColor base = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const bool dark = colours::IsDark(palette, QPalette::Base);
    // Light colours on a dark base, deep ones on a light base.
    const int lightness = dark ? 175 : 85;
    const int saturation = dark ? 170 : 210;
    auto hue = [&](int h) { return QColor::fromHsl(h, saturation, lightness); };
    const std::pair<Kind, int> hues[] = {
        {Kind::Motion, 215},    {Kind::Control, 275},    {Kind::Jump, 25},
        {Kind::Bit, 320},       {Kind::Arithmetic, 175}, {Kind::Move, 245},
        {Kind::RegisterM, 130}, {Kind::RegisterF, 100},  {Kind::RegisterS, 55},
        {Kind::RegisterB, 290}, {Kind::RegisterI, 190},  {Kind::RegisterJ, 160},
        {Kind::RegisterO, 340}, {Kind::Number, 0},       {Kind::LabelDefinition, 195},
        {Kind::LabelUse, 195},
    };
    for (const auto& [kind, h] : hues) {
        QTextCharFormat f;
        f.setForeground(hue(h));
        const auto i = static_cast<std::size_t>(kind);
        if (kind <= Kind::Move || kind == Kind::LabelDefinition)
            f.setFontWeight(QFont::Bold);
        formats_[i] = f;
    }
    // Comments sit halfway between the text and the base.
    QTextCharFormat comment;
    comment.setForeground(QColor((text.red() + base.red()) / 2, (text.green() + base.green()) / 2,
                                 (text.blue() + base.blue()) / 2));
    formats_[static_cast<std::size_t>(Kind::Comment)] = comment;
    faultColour_ = dark ? QColor::fromHsl(0, 230, 150) : QColor::fromHsl(0, 230, 110);
    if (document())
        rehighlight();
}

// The mark is the line's own state, so it moves with the line until the next check comes.
void CProgramHighlighter::SetFaultyLines(const QSet<int>& lines) {
    if (!document())
        return;
    int number = 1;
    for (QTextBlock block = document()->firstBlock(); block.isValid();
         block = block.next(), ++number) {
        const bool faulty = lines.contains(number);
        if (faulty == IsFaulty(block))
            continue;
        block.setUserState(faulty ? kFaulty : -1);
        rehighlightBlock(block);
    }
}

bool CProgramHighlighter::IsFaulty(int line) const {
    return document() && IsFaulty(document()->findBlockByNumber(line - 1));
}

void CProgramHighlighter::highlightBlock(const QString& text) {
    ScanLine(text, scan_);
    const bool faulty = currentBlockState() == kFaulty;
    if (faulty && scan_.codeEnd > scan_.codeStart) {
        QTextCharFormat wave;
        wave.setUnderlineStyle(QTextCharFormat::WaveUnderline);
        wave.setUnderlineColor(faultColour_);
        setFormat(scan_.codeStart, scan_.codeEnd - scan_.codeStart, wave);
    }
    for (const Span& span : scan_.spans) {
        QTextCharFormat f = Format(span.kind);
        if (faulty && span.kind != Kind::Comment) {
            f.setUnderlineStyle(QTextCharFormat::WaveUnderline);
            f.setUnderlineColor(faultColour_);
        }
        setFormat(span.start, span.length, f);
    }
}
