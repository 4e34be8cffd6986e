#pragma once

#include <QtGlobal>

#include "link/TimedTransfer.h"

namespace testsupport {

// While one lives, transfers made in this process and in programs it starts give a silent
// controller up after 150 ticks (1.5 s of a program's data) instead of 8 s, still after the
// resend: for tests of what a silent controller leads to, not of how long it is waited for.
class QuickGiveUp {
public:
    QuickGiveUp() { qputenv(ctrl::kGiveUpTicksVariable, "150"); }
    ~QuickGiveUp() { qunsetenv(ctrl::kGiveUpTicksVariable); }
    QuickGiveUp(const QuickGiveUp&) = delete;
    QuickGiveUp& operator=(const QuickGiveUp&) = delete;
};

}  // namespace testsupport
