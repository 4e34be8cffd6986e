#pragma once

#include <functional>

#include <QDateTime>
#include <QObject>
#include <QStringList>

namespace ui {

// What the application did, one timestamped line per compile and transfer, for the information
// window. Keeps the newest lines only.
class ActivityLog : public QObject {
    Q_OBJECT

public:
    static constexpr qsizetype kMaxLines = 10'000;

    // Adds "TIME  text" and tells the windows.
    void Add(const QString& text);
    void Clear();
    const QStringList& Lines() const { return lines_; }

    // Tests set a fixed clock.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

signals:
    void Added(const QString& line);
    void Cleared();

private:
    QStringList lines_;
};

}  // namespace ui
