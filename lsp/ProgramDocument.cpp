#include "lsp/ProgramDocument.h"

#include <string>

#include "app/ProgramFile.h"
#include "app/ProgramTextCheck.h"
#include "common/BlankText.h"
#include "common/GbkText.h"
#include "common/Messages.h"
#include "common/QtMessages.h"
#include "compiler/CompileRun.h"
#include "compiler/InstructionHelp.h"
#include "compiler/InstructionTable.h"

namespace lsp {
namespace {

enum Severity { kError = 1, kWarning = 2 };
enum CompletionKind { kVariableItem = 6, kKeywordItem = 14, kConstantItem = 21 };
constexpr int kConstantSymbol = 14;
constexpr char16_t kRegisterLetters[] = u"MFS";
constexpr char16_t kBitLetters[] = u"BIJO";

std::string_view View(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

qsizetype CodePointLength(QStringView line, qsizetype u) {
    return line[u].isHighSurrogate() && u + 1 < line.size() && line[u + 1].isLowSurrogate() ? 2 : 1;
}

// The UTF-16 offset in `line` of a byte offset in its GBK encoding.
int Utf16At(QStringView line, std::size_t byteOffset) {
    std::size_t bytes = 0;
    qsizetype u = 0;
    while (u < line.size() && bytes < byteOffset) {
        const qsizetype n = CodePointLength(line, u);
        bytes += static_cast<std::size_t>(gbk::EncodedLength(line.sliced(u, n)));
        u += n;
    }
    return static_cast<int>(u);
}

// The compile compares names with the single-byte letters upper-cased, nothing else.
QString AsciiUpper(QStringView text) {
    QString upper = text.toString();
    for (QChar& c : upper) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    }
    return upper;
}

QJsonObject Diagnostic(const QJsonObject& range, Severity severity, const QString& message,
                       int code) {
    QJsonObject d{
        {"range", range}, {"severity", severity}, {"source", "tarvex"}, {"message", message}};
    if (code != 0)
        d["code"] = code;
    return d;
}

}  // namespace

QJsonObject ToJson(Position p) {
    return {{"line", p.line}, {"character", p.character}};
}

QJsonObject RangeJson(int line, int begin, int end) {
    return {{"start", ToJson({line, begin})}, {"end", ToJson({line, end})}};
}

ProgramDocument::ProgramDocument(QString text) : text_(std::move(text)) {
    // The protocol ends lines at CR LF, LF or CR; the program text has one kind.
    text_.replace(u"\r\n"_qs, u"\n"_qs);
    text_.replace(u'\r', u'\n');
    lineStarts_.push_back(0);
    for (qsizetype i = text_.indexOf(u'\n'); i >= 0; i = text_.indexOf(u'\n', i + 1))
        lineStarts_.push_back(i + 1);
    tooLarge_ = gbk::EncodedLength(text_) > programfile::kCapacity;
}

QStringView ProgramDocument::Line(int line) const {
    const qsizetype start = lineStarts_[static_cast<std::size_t>(line)];
    const qsizetype end =
        line + 1 < LineCount() ? lineStarts_[static_cast<std::size_t>(line) + 1] - 1 : text_.size();
    return QStringView(text_).sliced(start, end - start);
}

QJsonArray ProgramDocument::Diagnostics() const {
    QJsonArray list;
    if (tooLarge_) {
        list.append(
            Diagnostic(RangeJson(0, 0, 0), kError, msg::QText(msg::Id::ProgramTooLarge), 0));
        return list;
    }
    const compiler::CheckReport report = CheckProgramText(text_);
    for (const compiler::Finding& f : report.findings) {
        const int line = f.editorLine - 1;
        const QStringView text = Line(line);
        const QByteArray bytes = gbk::Encode(text);
        const compiler::ByteSpan span = compiler::LocateFault(View(bytes), f.code);
        list.append(Diagnostic(RangeJson(line, Utf16At(text, span.begin), Utf16At(text, span.end)),
                               kError, QString::fromStdString(f.message), f.code));
    }
    if (!report.endReached && !BlankText(text_)) {
        // On the last line, where `tarvex check --format=gcc` puts it.
        int last = LineCount() - 1;
        if (last > 0 && text_.endsWith(u'\n'))
            --last;
        list.append(Diagnostic(RangeJson(last, 0, static_cast<int>(Line(last).size())), kWarning,
                               msg::QText(msg::Id::CompileMissingEnd), 0));
    }
    return list;
}

std::vector<ProgramDocument::Word> ProgramDocument::WordsOf(int line) const {
    const QStringView text = Line(line);
    const QByteArray bytes = gbk::Encode(text);
    std::vector<Word> words;
    for (const compiler::ByteSpan& w : compiler::CodeWords(View(bytes))) {
        const int begin = Utf16At(text, w.begin);
        const int end = Utf16At(text, w.end);
        words.push_back({AsciiUpper(text.sliced(begin, end - begin)), line, begin, end});
    }
    return words;
}

std::optional<ProgramDocument::Word> ProgramDocument::WordAt(Position at) const {
    if (tooLarge_ || at.line < 0 || at.line >= LineCount())
        return std::nullopt;
    for (Word& w : WordsOf(at.line)) {
        if (at.character >= w.begin && at.character <= w.end)
            return std::move(w);
    }
    return std::nullopt;
}

const std::vector<ProgramDocument::Label>& ProgramDocument::Labels() const {
    if (labels_)
        return *labels_;
    labels_.emplace();
    if (tooLarge_)
        return *labels_;
    const QByteArray bytes = gbk::Encode(text_);
    const std::vector<compiler::CodeLine> code = compiler::CutIntoCodeLines(View(bytes));
    for (std::size_t k = 0; k < code.size(); ++k) {
        const int line = code[k].editorLine - 1;
        const QStringView text = Line(line);
        const QByteArray lineBytes = gbk::Encode(text);
        const compiler::ByteSpan name = compiler::LabelDefinition(View(lineBytes));
        if (name.begin == name.end)
            continue;
        const int begin = Utf16At(text, name.begin);
        const int end = Utf16At(text, name.end);
        labels_->push_back({AsciiUpper(text.sliced(begin, end - begin)), line, begin, end,
                            static_cast<int>(k + 1)});
    }
    return *labels_;
}

const ProgramDocument::Label* ProgramDocument::FindLabel(const QString& name) const {
    // The first definition of a name takes every use; a later one has none left.
    for (const Label& label : Labels()) {
        if (label.name == name)
            return &label;
    }
    return nullptr;
}

std::optional<QJsonObject> ProgramDocument::Hover(Position at) const {
    const std::optional<Word> word = WordAt(at);
    if (!word)
        return std::nullopt;
    QString value;
    if (const Label* label = FindLabel(word->text)) {
        value = msg::QText(
            msg::Id::LspLabelHover,
            {Line(label->line).sliced(label->begin, label->end - label->begin).toString(),
             QString::number(label->codeLine)});
    } else if (const auto* d = compiler::FindInstruction(word->text.toStdString());
               d != nullptr && !d->mnemonic.empty()) {
        value = QString::fromStdString(compiler::OperandHint(*d));
    } else {
        return std::nullopt;
    }
    return QJsonObject{{"contents", QJsonObject{{"kind", "plaintext"}, {"value", value}}},
                       {"range", RangeJson(word->line, word->begin, word->end)}};
}

QJsonArray ProgramDocument::Completion() const {
    QJsonArray items;
    for (const compiler::InstructionDescriptor& d : compiler::InstructionTable()) {
        if (d.mnemonic.empty())
            continue;
        items.append(QJsonObject{{"label", QString::fromLatin1(d.mnemonic)},
                                 {"kind", kKeywordItem},
                                 {"detail", QString::fromStdString(compiler::OperandHint(d))}});
    }
    for (const Label& label : Labels()) {
        const QString name =
            Line(label.line).sliced(label.begin, label.end - label.begin).toString();
        items.append(QJsonObject{{"label", name},
                                 {"kind", kConstantItem},
                                 {"detail", msg::QText(msg::Id::LspLabelHover,
                                                       {name, QString::number(label.codeLine)})}});
    }
    for (char16_t c : std::u16string_view(kRegisterLetters))
        items.append(
            QJsonObject{{"label", QString(QChar(c))},
                        {"kind", kVariableItem},
                        {"detail", msg::QText(msg::Id::LspRegisterLetter, {QString(QChar(c))})}});
    for (char16_t c : std::u16string_view(kBitLetters))
        items.append(
            QJsonObject{{"label", QString(QChar(c))},
                        {"kind", kVariableItem},
                        {"detail", msg::QText(msg::Id::LspBitLetter, {QString(QChar(c))})}});
    return items;
}

QJsonObject ProgramDocument::Location(const QString& uri, int line, int begin, int end) const {
    return {{"uri", uri}, {"range", RangeJson(line, begin, end)}};
}

QJsonArray ProgramDocument::Definition(const QString& uri, Position at) const {
    const std::optional<Word> word = WordAt(at);
    const Label* label = word ? FindLabel(word->text) : nullptr;
    if (label == nullptr)
        return {};
    return {Location(uri, label->line, label->begin, label->end)};
}

QJsonArray ProgramDocument::References(const QString& uri, Position at, bool withDefinition) const {
    const std::optional<Word> word = WordAt(at);
    const Label* label = word ? FindLabel(word->text) : nullptr;
    if (label == nullptr)
        return {};
    QJsonArray places;
    for (int line = 0; line < LineCount(); ++line) {
        for (const Word& w : WordsOf(line)) {
            if (w.text != label->name)
                continue;
            const bool isDefinition = line == label->line && w.begin == label->begin;
            if (!isDefinition || withDefinition)
                places.append(Location(uri, line, w.begin, w.end));
        }
    }
    return places;
}

QJsonArray ProgramDocument::Symbols() const {
    QJsonArray symbols;
    for (const Label& label : Labels()) {
        const QJsonObject range = RangeJson(label.line, label.begin, label.end);
        symbols.append(QJsonObject{
            {"name", Line(label.line).sliced(label.begin, label.end - label.begin).toString()},
            {"detail",
             msg::QText(msg::Id::LspLabelHover, {label.name, QString::number(label.codeLine)})},
            {"kind", kConstantSymbol},
            {"range", RangeJson(label.line, 0, static_cast<int>(Line(label.line).size()))},
            {"selectionRange", range}});
    }
    return symbols;
}

}  // namespace lsp
