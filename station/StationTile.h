#pragma once

#include <QFrame>

#include "station/PortWorker.h"

class QLabel;
class QProgressBar;

namespace station {

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

private:
    TileState state = TileState::Waiting;
    QLabel* port;
    QLabel* stateLabel;
    QLabel* unit;
    QLabel* elapsed;
    QLabel* reason;
    QProgressBar* progress;
};

}  // namespace station
