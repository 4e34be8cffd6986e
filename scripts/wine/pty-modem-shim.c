// Lets Wine use a pseudo-terminal as a COM port. Before Wine reports serial events it asks the
// port for its modem lines (TIOCMGET) and its interrupt counters (TIOCGICOUNT), and sets the
// lines (TIOCMBIS/TIOCMBIC); a pty refuses all of these. For a pty this answers as a cable with
// every line up would; any other descriptor, and any other request, goes to the real ioctl.
// Loaded into Wine with LD_PRELOAD (scripts/windows-program-check builds it).
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

int ioctl(int fd, unsigned long request, ...) {
    static int (*real)(int, unsigned long, ...);
    if (!real)
        real = (int (*)(int, unsigned long, ...))dlsym(RTLD_NEXT, "ioctl");
    va_list args;
    va_start(args, request);
    void* arg = va_arg(args, void*);
    va_end(args);
    const int result = real(fd, request, arg);
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
        case TIOCGICOUNT: {
            // Wine tells a received character by a change of the rx counter, which a pty
            // does not keep: count up while input waits, so the change shows at the next look.
            static unsigned int received;
            int waiting = 0;
            if (real(fd, FIONREAD, &waiting) == 0 && waiting > 0)
                received += (unsigned int)waiting;
            struct serial_icounter_struct* counts = arg;
            memset(counts, 0, sizeof *counts);
            counts->rx = (int)received;
            return 0;
        }
        default:
            return result;
    }
}
