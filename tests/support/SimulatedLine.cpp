#include "tests/support/SimulatedLine.h"

#include <algorithm>

namespace testsupport {

SimulatedLine::SimulatedLine(emu::Faults faults, int hangUpAfterFrames)
    : controller(std::move(faults)), hangUpAfter(hangUpAfterFrames) {}

void SimulatedLine::Pause(int fromMs, int forMs) {
    pauseFrom = fromMs;
    pauseUntil = fromMs + forMs;
}

bool SimulatedLine::Paused() const {
    return now >= pauseFrom && now < pauseUntil;
}

void SimulatedLine::Advance(int ms) {
    now += ms;
    Serve();
}

// As the server loop runs: read the host's bytes, write the answers that are due, then hang up
// once enough frames have come.
void SimulatedLine::Serve() {
    if (hungUp || Paused())
        return;
    const int due = now + controller.FaultOptions().answerDelayMs;
    while (!toController.empty()) {
        std::vector<std::uint8_t> answer = controller.Feed(toController.front());
        toController.pop_front();
        if (!answer.empty())
            pending.emplace_back(due, std::move(answer));
    }
    while (!pending.empty() && pending.front().first <= now) {
        toHost.insert(toHost.end(), pending.front().second.begin(), pending.front().second.end());
        pending.pop_front();
    }
    if (hangUpAfter >= 0 && controller.FramesReceived() >= hangUpAfter) {
        hungUp = true;
        pending.clear();
        toController.clear();
    }
}

bool SimulatedLine::OpenConfigured() {
    open = true;
    return true;
}

bool SimulatedLine::Close() {
    open = false;
    toHost.clear();
    return true;
}

int SimulatedLine::Send(const std::uint8_t* bytes, int count) {
    if (!open || hungUp)
        return 0;
    sent.insert(sent.end(), bytes, bytes + count);
    toController.insert(toController.end(), bytes, bytes + count);
    Serve();
    return count;
}

int SimulatedLine::QueuedBytes() {
    return open ? static_cast<int>(toHost.size()) : 0;
}

int SimulatedLine::Receive(std::uint8_t* buffer, int limit) {
    const int n = std::min(limit, QueuedBytes());
    std::copy_n(toHost.begin(), n, buffer);
    toHost.erase(toHost.begin(), toHost.begin() + n);
    return n;
}

}  // namespace testsupport
