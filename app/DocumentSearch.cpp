#include "app/DocumentSearch.h"

#include "common/GbkText.h"

namespace search {

QTextCursor FindWrapping(QTextDocument& document, const QString& text, const QTextCursor& from,
                         QTextDocument::FindFlags flags) {
    QTextCursor found = document.find(text, from, flags);
    if (!found.isNull())
        return found;
    QTextCursor edge(&document);
    if (flags & QTextDocument::FindBackward)
        edge.movePosition(QTextCursor::End);
    return document.find(text, edge, flags);
}

bool IsMatch(const QString& selected, const QString& text, QTextDocument::FindFlags flags) {
    return selected.compare(text, flags & QTextDocument::FindCaseSensitively
                                      ? Qt::CaseSensitive
                                      : Qt::CaseInsensitive) == 0;
}

Tally CountMatches(const QTextDocument& document, const QString& text, const QString& replacement,
                   QTextDocument::FindFlags flags) {
    Tally tally;
    const qsizetype replacementBytes = gbk::EncodedLength(replacement);
    for (QTextCursor at = document.find(text, 0, flags); !at.isNull();
         at = document.find(text, at, flags)) {
        ++tally.count;
        tally.growth += replacementBytes - gbk::EncodedLength(at.selectedText());
    }
    return tally;
}

void ReplaceEvery(QTextDocument& document, const QString& text, const QString& replacement,
                  QTextDocument::FindFlags flags) {
    QTextCursor step(&document);
    step.beginEditBlock();
    for (QTextCursor at = document.find(text, 0, flags); !at.isNull();
         at = document.find(text, at, flags))
        at.insertText(replacement);
    step.endEditBlock();
}

}  // namespace search
