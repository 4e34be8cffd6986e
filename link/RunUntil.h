#pragma once

#include <QCoreApplication>
#include <QTimer>

namespace ctrl {

// Runs the event loop until `done` holds, for a caller without a window of its own (the
// command-line tool, the unit loop).
template <typename Done>
void RunUntil(Done done) {
    QTimer wake;  // looks at `done` now and then even when nothing else happens
    wake.start(20);
    while (!done())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

}  // namespace ctrl
