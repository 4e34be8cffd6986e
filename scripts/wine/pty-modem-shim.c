// Lets Wine use a pseudo-terminal as a COM port, as far as Wine 8 allows. Loaded into Wine with
// LD_PRELOAD (scripts/windows-program-check builds it); any descriptor that is not a pty, and any
// request not named here, goes to the real ioctl.
//  - Before Wine reports serial events it asks the port for its modem lines (TIOCMGET) and its
//    interrupt counters (TIOCGICOUNT), and sets the lines (TIOCMBIS/TIOCMBIC); a pty refuses all
//    of these. For a pty this answers as a cable with every line up would.
//  - Wine waits for a port event asked without an event handle (Qt Serial Port asks so, through
//    a completion port) by blocking the caller until a byte waits. The host speaks first, so
//    opening the port would never return. Wine starts a thread for each such wait, whose first
//    request is TIOCGICOUNT; from its second look on, that thread is told a byte waits.
// What still fails: Wine completes that wait without posting its completion packet, and Qt
// starts reading only on that packet, so tarvex.exe never reads the controller's answer.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <linux/serial.h>
#include <stdarg.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

// Unix98 pty slaves have majors 136 to 143.
static int IsPty(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISCHR(st.st_mode))
        return 0;
    const unsigned int m = major(st.st_rdev);
    return m >= 136 && m <= 143;
}

// 0 before this thread's first ioctl, 1 in one of Wine's event-wait threads, -1 in any other.
static __thread int waitThread;
static __thread int waitLooks;

int ioctl(int fd, unsigned long request, ...) {
    static int (*real)(int, unsigned long, ...);
    if (!real)
        real = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    if (waitThread == 0)
        waitThread = request == TIOCGICOUNT ? 1 : -1;
    const int result = real(fd, request, arg);
    if (request == FIONREAD && result == 0 && waitThread > 0 && waitLooks >= 2 &&
        *(int*)arg == 0 && IsPty(fd)) {
        *(int*)arg = 1;
        return 0;
    }
    if (result != -1 || !IsPty(fd))
        return result;
    switch (request) {
        case TIOCMGET:
            *(int*)arg = TIOCM_DTR | TIOCM_RTS | TIOCM_CTS | TIOCM_DSR | TIOCM_CD;
            return 0;
        case TIOCMSET:
        case TIOCMBIS:
        case TIOCMBIC:
            return 0;
        case TIOCGICOUNT:
            if (waitThread > 0)
                ++waitLooks;
            memset(arg, 0, sizeof(struct serial_icounter_struct));
            return 0;
        default:
            return result;
    }
}
