#include "emulator/PtyServer.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>

#include "common/Messages.h"
#include "emulator/ServeLine.h"

namespace emu {

namespace {

std::atomic<PtyServer*> signalled{nullptr};

void OnSignal(int) {
    if (PtyServer* server = signalled.load())
        server->RequestStop();
}

void CloseFd(int& fd) {
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

PtyServer::PtyServer(VirtualController& controller) : controller(controller) {}

PtyServer::~PtyServer() {
    if (handlingSignals) {
        ::sigaction(SIGINT, &previousInt, nullptr);
        ::sigaction(SIGTERM, &previousTerm, nullptr);
    }
    PtyServer* self = this;
    signalled.compare_exchange_strong(self, nullptr);
    CloseFd(master);
    CloseFd(slave);
    CloseFd(wake[0]);
    CloseFd(wake[1]);
}

bool PtyServer::Open(std::string& error) {
    char name[256] = {};
    termios raw{};
    ::cfmakeraw(&raw);
    if (::openpty(&master, &slave, name, &raw, nullptr) != 0) {
        error = msg::Text(msg::Id::EmulatorNoPty, {std::strerror(errno)});
        return false;
    }
    if (::pipe2(wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        error = msg::Text(msg::Id::EmulatorNoPipe, {std::strerror(errno)});
        return false;
    }
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    devicePath = name;
    return true;
}

void PtyServer::RequestStop() {
    const char byte = 0;
    if (wake[1] >= 0) [[maybe_unused]]
        ssize_t n = ::write(wake[1], &byte, 1);
}

void PtyServer::StopOnSignals() {
    signalled.store(this);
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    if (!handlingSignals) {
        ::sigaction(SIGINT, &action, &previousInt);
        ::sigaction(SIGTERM, &action, &previousTerm);
        handlingSignals = true;
    }
}

// Negative: nothing is due, wait for the host or a stop.
PtyServer::Clock::duration PtyServer::Wait() const {
    if (pending.empty())
        return Clock::duration(-1);
    return std::max(pending.front().due - Clock::now(), Clock::duration::zero());
}

void PtyServer::Serve() {
    for (;;) {
        pollfd fds[2] = {{wake[0], POLLIN, 0}, {master, POLLIN, 0}};
        // Nanoseconds, not poll's milliseconds: a byte at 19200 baud takes 0.57 ms.
        const auto wait = Wait();
        timespec limit{};
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
        limit.tv_sec = static_cast<time_t>(ns / 1000000000);
        limit.tv_nsec = static_cast<long>(ns % 1000000000);
        const int ready =
            ::ppoll(fds, master >= 0 ? 2 : 1, wait.count() < 0 ? nullptr : &limit, nullptr);
        if (ready < 0 && errno != EINTR)
            return;
        if (fds[0].revents != 0)
            return;
        if (master >= 0 && (fds[1].revents & POLLIN) != 0)
            ReadHost();
        WriteDue();
        if (master >= 0 && hangUpAfter >= 0 && controller.FramesReceived() >= hangUpAfter)
            HangUp();
    }
}

void PtyServer::ReadHost() {
    std::uint8_t buffer[512];
    const ssize_t n = ::read(master, buffer, sizeof buffer);
    if (n <= 0)
        return;
    // Each byte is fed at once with the time its last bit is in, which its answer keeps: the
    // server wakes for answers, not for every byte on the line (24 lines at once would otherwise
    // cost more processor time than the hosts they serve).
    const auto now = Clock::now();
    for (ssize_t i = 0; i < n; ++i)
        Feed(buffer[i], line ? line->In(now) : now);
}

void PtyServer::SetLineRate(int baud) {
    if (baud > 0)
        line.emplace(baud);
    else
        line.reset();
}

void PtyServer::Feed(std::uint8_t byte, Clock::time_point at) {
    std::vector<std::uint8_t> answer = controller.Feed(byte);
    if (answer.empty())
        return;
    const auto ready = at + std::chrono::milliseconds(controller.FaultOptions().answerDelayMs);
    if (!line) {
        pending.push_back({ready, std::move(answer)});
        return;
    }
    for (std::uint8_t b : answer)
        pending.push_back({line->Out(ready), {b}});
}

void PtyServer::WriteDue() {
    const auto now = Clock::now();
    while (!pending.empty() && pending.front().due <= now) {
        const std::vector<std::uint8_t>& bytes = pending.front().bytes;
        if (master >= 0) [[maybe_unused]]
            ssize_t n = ::write(master, bytes.data(), bytes.size());
        pending.pop_front();
    }
}

void PtyServer::HangUp() {
    pending.clear();
    CloseFd(master);
    CloseFd(slave);
}

}  // namespace emu

namespace emu {

bool ServeOnNewLine(VirtualController& controller, const LineOptions& options, std::ostream& out,
                    std::ostream& err) {
    PtyServer server(controller);
    std::string error;
    if (!server.Open(error)) {
        err << "tarvex emulate: " << error << "\n";
        return false;
    }
    server.HangUpAfterFrames(options.hangUpAfterFrames);
    server.SetLineRate(options.lineRate);
    server.StopOnSignals();
    out << server.DevicePath() << std::endl;
    server.Serve();
    return true;
}

}  // namespace emu
