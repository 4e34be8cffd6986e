#include <algorithm>
#include <thread>

#include <gtest/gtest.h>

#include "common/ThreadPriority.h"

namespace {

struct Lowered {
    bool taken;
    int before, after;
};

Lowered LowerInFreshThread(int steps) {
    Lowered result{};
    std::thread([&] {
        result.before = threadpriority::ThisThreadNiceness();
        result.taken = threadpriority::LowerThisThread(steps);
        result.after = threadpriority::ThisThreadNiceness();
    }).join();
    return result;
}

}  // namespace

// Each case in a thread of its own: a niceness once raised cannot be lowered again unprivileged.
TEST(ThreadPriority, LowersOnlyTheCallingThread) {
    const int mine = threadpriority::ThisThreadNiceness();
    struct Case {
        int steps;
        bool taken;
        int added;  // beyond the starting niceness, before the clamp at 19
    };
#if defined(__linux__)
    const Case cases[] = {
        {0, false, 0}, {-3, false, 0}, {1, true, 1}, {10, true, 10}, {40, true, 40}};
#else
    const Case cases[] = {{0, false, 0}, {10, false, 0}};
#endif
    for (const Case& c : cases) {
        const Lowered got = LowerInFreshThread(c.steps);
        EXPECT_EQ(got.taken, c.taken) << c.steps;
        EXPECT_EQ(got.after, std::min(got.before + c.added, 19)) << c.steps;
        EXPECT_EQ(threadpriority::ThisThreadNiceness(), mine) << c.steps;
    }
}
