#include "app/ProgramCapacity.h"

#include <algorithm>

#include <QTextBlock>
#include <QTextDocument>

#include "app/ProgramFile.h"
#include "common/GbkText.h"

namespace {

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

}  // namespace

ProgramCapacity::ProgramCapacity(QTextDocument& document)
    : document_(document), lineBytes_(std::make_shared<qsizetype>(0)) {}

void ProgramCapacity::CountLines(int position, int added) {
    QTextBlock block = document_.findBlock(position);
    const QTextBlock last = document_.findBlock(position + added);
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

// The text as set: its lines are the blocks, in order. Should the document have split it
// otherwise, the blocks from there on are counted from their own text.
void ProgramCapacity::CountWholeText(QStringView text) {
    qsizetype start = 0;
    for (QTextBlock block = document_.firstBlock(); block.isValid(); block = block.next()) {
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

qsizetype ProgramCapacity::TextBytes() const {
    // Every line end is CR LF.
    return *lineBytes_ + 2 * qsizetype(document_.blockCount() - 1);
}

qsizetype ProgramCapacity::RoomFor(const QString& selected, const QString& text) const {
    const qsizetype free = programfile::kCapacity - TextBytes() + gbk::EncodedLength(selected);
    return free - gbk::EncodedLength(text);
}

qsizetype ProgramCapacity::FittingLength(const QString& text, qsizetype room) {
    qsizetype keep = 0;
    for (; keep < text.size(); ++keep) {
        const qsizetype needed = gbk::EncodedLength(QStringView(text).mid(keep, 1));
        if (needed > room)
            break;
        room -= needed;
    }
    if (keep > 0 && keep < text.size() && text[keep - 1].isHighSurrogate())
        --keep;
    return keep;
}

bool ProgramCapacity::TakeUncoloured(const QTextBlock& block) {
    auto* record = static_cast<LineBytes*>(block.userData());
    if (!record || record->highlighted)
        return false;
    record->highlighted = true;
    return true;
}
