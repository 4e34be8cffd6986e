#include "common/ThreadPriority.h"

#include <algorithm>

#if defined(__linux__)
#include <cerrno>

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>
#endif

namespace threadpriority {

#if defined(__linux__)

namespace {

// Linux keeps a niceness per thread: PRIO_PROCESS with a thread id changes that thread alone.
id_t ThisThread() {
    return static_cast<id_t>(::syscall(SYS_gettid));
}

}  // namespace

int ThisThreadNiceness() {
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, ThisThread());
    return errno ? 0 : nice;
}

bool LowerThisThread(int steps) {
    if (steps <= 0)
        return false;
    const int target = std::min(ThisThreadNiceness() + steps, 19);
    return ::setpriority(PRIO_PROCESS, ThisThread(), target) == 0;
}

#else

int ThisThreadNiceness() {
    return 0;
}

bool LowerThisThread(int steps) {
    (void)steps;
    return false;
}

#endif

}  // namespace threadpriority
