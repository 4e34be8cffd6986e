#pragma once

#include <QFrame>

#include "station/PortWorker.h"

class QLabel;
class QProgressBar;

namespace station {

// Large type read across the room: `factor` times the font `parent` has once styled. An application
// style sheet that sizes every widget's font (a large-type desktop) would set a plain font back to
// its size, so the label then carries its size in a style sheet of its own.
void ScaleType(QLabel* label, QWidget* parent, double factor, bool bold);

// One port's tile: the state in large type and colour, seen across the room.
class StationTile : public QFrame {
    Q_OBJECT
public:
    explicit StationTile(const QString& port, QWidget* parent = nullptr);
    void Show(const TileSnapshot& s, qint64 nowMs);
    QString StateText() const;
    QString ReasonText() const;
    TileState State() const { return state; }

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void FitState();

    TileState state = TileState::Waiting;
    QLabel* port;
    QLabel* stateLabel;
    QLabel* unit;
    QLabel* elapsed;
    QLabel* reason;
    QProgressBar* progress;
    double stateFactor = 0;  // the state's type as it was last fitted
};

}  // namespace station
