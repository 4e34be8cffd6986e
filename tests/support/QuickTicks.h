#pragma once

#include <QByteArray>
#include <QtGlobal>

#include "link/ControllerSession.h"

namespace testsupport {

// While one lives, sessions made in this process and in programs it starts tick every 100 ms
// instead of 500: for roads whose handshakes, leave checks and next-unit waits only wait out
// ticks. Not the least tick: a loaded machine must still bring the controller's answer to a
// handshake within one tick, or a unit still on the line is taken for gone.
class QuickTicks {
public:
    QuickTicks() : before(qgetenv(ctrl::kTickMsVariable)) { qputenv(ctrl::kTickMsVariable, "100"); }
    ~QuickTicks() {
        if (before.isNull())
            qunsetenv(ctrl::kTickMsVariable);
        else
            qputenv(ctrl::kTickMsVariable, before);
    }
    QuickTicks(const QuickTicks&) = delete;
    QuickTicks& operator=(const QuickTicks&) = delete;

private:
    QByteArray before;
};

}  // namespace testsupport
