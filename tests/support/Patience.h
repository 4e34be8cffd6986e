#pragma once

#include <chrono>

namespace testsupport {

// What "at once" means where noticing soon is the behaviour under test (a lost line, a silent
// pipe): far above what a loaded machine takes, far below the give-up times (8 s and more) or the
// endless wait that the fault would show.
inline constexpr std::chrono::milliseconds kNoticeBound{5000};

}  // namespace testsupport
