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

int PtyServer::WaitMs() const {
    if (pending.empty())
        return -1;
    const auto left =
        std::chrono::ceil<std::chrono::milliseconds>(pending.front().due - Clock::now());
    return left.count() < 0 ? 0 : static_cast<int>(left.count());
}

void PtyServer::Serve() {
    for (;;) {
        pollfd fds[2] = {{wake[0], POLLIN, 0}, {master, POLLIN, 0}};
        const int ready = ::poll(fds, master >= 0 ? 2 : 1, WaitMs());
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
    const auto due =
        Clock::now() + std::chrono::milliseconds(controller.FaultOptions().answerDelayMs);
    for (ssize_t i = 0; i < n; ++i) {
        std::vector<std::uint8_t> answer = controller.Feed(buffer[i]);
        if (!answer.empty())
            pending.push_back({due, std::move(answer)});
    }
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
