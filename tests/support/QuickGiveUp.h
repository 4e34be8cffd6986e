#pragma once

#include <QtGlobal>

#include "link/TimedTransfer.h"

namespace testsupport {

// While one lives, transfers made in this process and in programs it starts give a silent
// controller up after 300 ticks (3 s of a program's data) instead of 8 s, still after the
// resend: for tests of what a silent controller leads to, not of how long it is waited for.
// Not shorter: a loaded machine has kept a clean virtual controller silent for 1.5 s.
class QuickGiveUp {
public:
    QuickGiveUp() { qputenv(ctrl::kGiveUpTicksVariable, "300"); }
    ~QuickGiveUp() { qunsetenv(ctrl::kGiveUpTicksVariable); }
    QuickGiveUp(const QuickGiveUp&) = delete;
    QuickGiveUp& operator=(const QuickGiveUp&) = delete;
};

}  // namespace testsupport
