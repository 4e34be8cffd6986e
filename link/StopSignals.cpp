#include "link/StopSignals.h"

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include <QSocketNotifier>
#endif

namespace ctrl {

#ifdef Q_OS_UNIX
StopSignals::StopSignals() {
    if (::pipe2(pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    writeEnd.store(pipe[1]);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, &previousInt);
    ::sigaction(SIGTERM, &action, &previousTerm);
    notifier = std::make_unique<QSocketNotifier>(pipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [this] {
        unsigned char number = 0;
        while (::read(pipe[0], &number, 1) == 1) {
            if (received == 0)
                received = number;
        }
    });
}

StopSignals::~StopSignals() {
    if (pipe[0] < 0)
        return;
    ::sigaction(SIGINT, &previousInt, nullptr);
    ::sigaction(SIGTERM, &previousTerm, nullptr);
    writeEnd.store(-1);
    notifier.reset();
    ::close(pipe[0]);
    ::close(pipe[1]);
}

void StopSignals::OnSignal(int number) {
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    if (const int fd = writeEnd.load(); fd >= 0) [[maybe_unused]]
        const ssize_t n = ::write(fd, &byte, 1);
    errno = saved;
}
#else
StopSignals::StopSignals() = default;
StopSignals::~StopSignals() = default;
#endif

}  // namespace ctrl
