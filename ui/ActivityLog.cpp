#include "ui/ActivityLog.h"

namespace ui {

void ActivityLog::Add(const QString& text) {
    const QString line = clock().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss  ")) + text;
    if (lines_.size() >= kMaxLines)
        lines_.remove(0, lines_.size() - kMaxLines + 1);
    lines_.append(line);
    emit Added(line);
}

void ActivityLog::Clear() {
    lines_.clear();
    emit Cleared();
}

}  // namespace ui
