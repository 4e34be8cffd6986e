#pragma once

#include <memory>

#include <QString>
#include <QStringView>

class QTextBlock;
class QTextDocument;

// The program's size as the file would hold it (GBK bytes, CR LF), kept line by line as the text
// changes, so that an edit costs only the lines it touched; and what still fits the capacity.
class ProgramCapacity {
public:
    explicit ProgramCapacity(QTextDocument& document);

    // Counts the lines an edit touched.
    void CountLines(int position, int added);
    // Counts every line of `text`, just set as the whole text, and leaves them uncoloured.
    void CountWholeText(QStringView text);
    qsizetype TextBytes() const;
    // Bytes left once `selected` is replaced by `text`; negative when it would not fit.
    qsizetype RoomFor(const QString& selected, const QString& text) const;
    // How much of a paste fits in `room` bytes: what does not is cut off, as the edit control
    // does with a paste beyond its limit, never in the middle of a surrogate pair.
    static qsizetype FittingLength(const QString& text, qsizetype room);

    // True, once, for a line of a whole new text that has not been coloured yet.
    static bool TakeUncoloured(const QTextBlock& block);

private:
    QTextDocument& document_;
    // Bytes of every line without its line end; shared with the lines' own records.
    std::shared_ptr<qsizetype> lineBytes_;
};
