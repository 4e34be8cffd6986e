#pragma once

#include <QString>
#include <QTextCursor>
#include <QTextDocument>

// Find and replace over a program document, apart from the editor that shows the result.
namespace search {

// The next match from `from`, wrapping once to the start (or, searching backward, the end);
// null when the text has none.
QTextCursor FindWrapping(QTextDocument& document, const QString& text, const QTextCursor& from,
                         QTextDocument::FindFlags flags);

// Whether a selection is a match of `text` under the flags' case rule.
bool IsMatch(const QString& selected, const QString& text, QTextDocument::FindFlags flags);

// Every match from the start: how many, and by how many file bytes replacing them all would
// grow the text.
struct Tally {
    int count = 0;
    qsizetype growth = 0;
};
Tally CountMatches(const QTextDocument& document, const QString& text, const QString& replacement,
                   QTextDocument::FindFlags flags);

// Replaces every match in one undo step.
void ReplaceEvery(QTextDocument& document, const QString& text, const QString& replacement,
                  QTextDocument::FindFlags flags);

}  // namespace search
