#include "app/ProgramHighlighter.h"

#include <string>
#include <utility>

#include <QPalette>
#include <QTextBlock>
#include <QTextDocument>

#include "common/MbcsText.h"
#include "compiler/InstructionTable.h"
#include "compiler/LineSyntax.h"
#include "ui/Colours.h"

namespace {

using Kind = CProgramHighlighter::Kind;

namespace syntax = compiler::syntax;

std::u16string_view Units(QStringView text) {
    return {text.utf16(), std::size_t(text.size())};
}

int At(std::size_t position) {
    return int(position);
}

bool IsBlank(QChar c) {
    return c.unicode() < 0x80 && mbcs::IsWhiteSpace(char(c.unicode()));
}

char16_t Upper(char16_t c) {
    return c >= 'a' && c <= 'z' ? char16_t(c - 'a' + 'A') : c;
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
    constexpr std::pair<char16_t, Kind> kKinds[] = {{'M', Kind::RegisterM}, {'F', Kind::RegisterF},
                                                    {'S', Kind::RegisterS}, {'B', Kind::RegisterB},
                                                    {'I', Kind::RegisterI}, {'J', Kind::RegisterJ},
                                                    {'O', Kind::RegisterO}};
    for (const auto& [reference, kind] : kKinds) {
        if (reference == Upper(letter))
            return kind;
    }
    return Kind::Count;
}

// What an operand piece is, as the encoder decides it.
Kind OperandKind(QStringView piece) {
    switch (syntax::ClassifyOperand(Units(piece))) {
        case syntax::OperandClass::Number:
            return Kind::Number;
        case syntax::OperandClass::Reference:
            return RegisterKind(piece.front().unicode());
        case syntax::OperandClass::Name:
            break;
    }
    return Kind::LabelUse;
}

}  // namespace

QStringView CProgramHighlighter::MnemonicOf(QStringView line, int* start) {
    const syntax::Span mnemonic = syntax::ReadLine(Units(line)).instruction.mnemonic;
    if (start)
        *start = At(mnemonic.start);
    int end = At(mnemonic.end);
    while (end > At(mnemonic.start) && IsBlank(line[end - 1]))
        --end;
    return line.mid(At(mnemonic.start), end - At(mnemonic.start));
}

const compiler::InstructionDescriptor* CProgramHighlighter::InstructionOf(QStringView line) {
    return Lookup(MnemonicOf(line));
}

void CProgramHighlighter::ScanLine(QStringView line, Scan& scan) {
    scan.spans.clear();
    const syntax::LineLayout layout = syntax::ReadLine(Units(line));
    auto add = [&](syntax::Span s, Kind kind) {
        scan.spans.push_back({At(s.start), At(s.size()), kind});
    };
    if (layout.comment < std::size_t(line.size()))
        add({layout.comment, std::size_t(line.size())}, Kind::Comment);
    scan.codeStart = At(layout.code.start);
    scan.codeEnd = At(layout.code.end);
    if (layout.label)
        add(*layout.label, Kind::LabelDefinition);
    const syntax::Span mnemonic = layout.instruction.mnemonic;
    if (const auto* d = Lookup(line.mid(At(mnemonic.start), At(mnemonic.size())));
        d && d->group >= 1 && d->group <= 6)
        add(mnemonic, static_cast<Kind>(d->group - 1));
    for (const syntax::Span& piece : layout.instruction.operands) {
        if (!piece.empty())
            add(piece, OperandKind(line.mid(At(piece.start), At(piece.size()))));
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
