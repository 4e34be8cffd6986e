#pragma once

#include <array>
#include <vector>

#include <QSet>
#include <QStringView>
#include <QSyntaxHighlighter>
#include <QTextBlock>
#include <QTextCharFormat>

class QPalette;
namespace compiler {
struct InstructionDescriptor;
}

// Colours the program text as the compile reads it: comments cut first (by the marker that takes
// precedence, not the leftmost), then a label definition, the mnemonic and its operands. Lines
// the live check found faulty get a wavy underline over their code.
class CProgramHighlighter : public QSyntaxHighlighter {
    Q_OBJECT

public:
    enum class Kind : std::uint8_t {
        Motion,  // mnemonic groups 1 to 6
        Control,
        Jump,
        Bit,
        Arithmetic,
        Move,
        RegisterM,  // references by letter
        RegisterF,
        RegisterS,
        RegisterB,
        RegisterI,
        RegisterJ,
        RegisterO,
        Number,
        LabelDefinition,
        LabelUse,
        Comment,
        Count
    };
    struct Span {
        int start = 0;
        int length = 0;
        Kind kind = Kind::Comment;
        bool operator==(const Span&) const = default;
    };
    struct Scan {
        std::vector<Span> spans;
        int codeStart = 0;  // the code between blanks, before any comment
        int codeEnd = 0;
    };
    // What one line holds; the highlighter and the completion read lines the same way.
    static void ScanLine(QStringView line, Scan& scan);
    // The mnemonic's place in a line: after a label definition and blanks, up to the first blank.
    static QStringView MnemonicOf(QStringView line, int* start = nullptr);
    // The instruction a line's mnemonic names, in any letter case; nullptr when none.
    static const compiler::InstructionDescriptor* InstructionOf(QStringView line);

    explicit CProgramHighlighter(QTextDocument* document);

    // Runs `change` without highlighting what it changes; the caller highlights those lines
    // (rehighlightBlock) when it needs them.
    template <typename Change>
    void WithoutHighlighting(Change change) {
        const bool deaf = StopListening();
        change();
        if (deaf)
            Listen();
    }

    // Colours follow the palette, so a dark one stays readable.
    void SetPalette(const QPalette& palette);
    const QTextCharFormat& Format(Kind kind) const {
        return formats_[static_cast<std::size_t>(kind)];
    }
    // Lines (1-based) to underline; only lines whose state changes are highlighted again. The
    // mark stays with its line while lines are added or removed above it.
    void SetFaultyLines(const QSet<int>& lines);
    bool IsFaulty(int line) const;
    static bool IsFaulty(const QTextBlock& block) { return block.userState() == kFaulty; }

protected:
    void highlightBlock(const QString& text) override;

private:
    // QSyntaxHighlighter reformats every changed line at once, through this connection.
    bool StopListening();
    void Listen();

    std::array<QTextCharFormat, static_cast<std::size_t>(Kind::Count)> formats_;
    static constexpr int kFaulty = 1;
    QColor faultColour_;
    Scan scan_;
};
