#pragma once

#include <optional>
#include <vector>

#include <QJsonArray>
#include <QJsonObject>
#include <QString>

#include "compiler/CodePlaces.h"

namespace lsp {

// A place in a document as the protocol counts it: 0-based line, UTF-16 code units.
struct Position {
    int line = 0;
    int character = 0;
};

QJsonObject ToJson(Position p);
QJsonObject RangeJson(int line, int begin, int end);

// One program text as an editor holds it, read the way the compile reads it. Positions go out
// in UTF-16 code units, whatever GBK takes for the same characters.
class ProgramDocument {
public:
    explicit ProgramDocument(QString text);

    // Whether the text is larger than the editor holds; such a text is not looked at.
    bool TooLarge() const { return tooLarge_; }

    QJsonArray Diagnostics() const;
    std::optional<QJsonObject> Hover(Position at) const;
    QJsonArray Completion() const;
    // The label at a place: where it is defined, and where it stands in code.
    QJsonArray Definition(const QString& uri, Position at) const;
    QJsonArray References(const QString& uri, Position at, bool withDefinition) const;
    QJsonArray Symbols() const;

private:
    struct Label {
        QString name;  // upper case, as the compile compares names
        int line = 0;
        int begin = 0;
        int end = 0;
        int codeLine = 0;
    };
    struct Word {
        QString text;  // upper case
        int line = 0;
        int begin = 0;
        int end = 0;
    };

    QStringView Line(int line) const;
    int LineCount() const { return static_cast<int>(lineStarts_.size()); }
    std::optional<Word> WordAt(Position at) const;
    std::vector<Word> WordsOf(int line) const;
    const std::vector<Label>& Labels() const;
    const Label* FindLabel(const QString& name) const;
    QJsonObject Location(const QString& uri, int line, int begin, int end) const;

    QString text_;
    std::vector<qsizetype> lineStarts_;
    bool tooLarge_ = false;
    mutable std::optional<std::vector<Label>> labels_;
};

}  // namespace lsp
