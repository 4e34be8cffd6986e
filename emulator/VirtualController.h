#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "emulator/Transfer.h"

namespace emu {

// Ways to misbehave, for tests and demos of the host's resend and give-up paths.
struct Faults {
    bool neverAnswer = false;
    std::vector<std::uint8_t> handshakePrefix;  // answered to the handshake before its 1
    int resendEvery = 0;              // ask for a resend (90) of every k-th header or data frame
    int answerDelayMs = 0;            // applied by whoever carries the answers to the host
    int stopAfterFrames = -1;         // go silent for good after answering this many frames
    std::vector<std::uint8_t> noise;  // sent ahead of every answer
};

// Transfers the controller will not keep, as it logs them.
enum class Refusal {
    DataWithoutHeader,  // data frames came before any header frame
    PartialRecord,      // a program's data ended inside a record
};

// The controller's side of the line, byte by byte: answers the handshake with 1, acknowledges
// start, header and data frames by echoing their command byte, and keeps each transfer that
// ended with its end byte.
class VirtualController {
public:
    explicit VirtualController(Faults faults = {});
    virtual ~VirtualController() = default;
    VirtualController(const VirtualController&) = default;
    VirtualController& operator=(const VirtualController&) = default;

    // Takes one byte from the host and returns what the controller answers (often nothing). A
    // replay answers from a trace instead.
    virtual std::vector<std::uint8_t> Feed(std::uint8_t byte);

    const Faults& FaultOptions() const { return faults; }
    const std::vector<Transfer>& Completed() const { return completed; }
    int FramesReceived() const { return framesReceived; }
    int Farewells() const { return farewells; }
    // Called with each transfer as its end byte arrives.
    std::function<void(const Transfer&)> onCompleted;
    // Asked as each transfer starts whether it can be kept; a controller that cannot keep it
    // fails as a real one does: it stops answering.
    std::function<bool()> canKeep;
    // Called once for each transfer refused; a refused transfer is neither answered further nor
    // kept.
    std::function<void(Refusal)> onRefused;
    int Refusals() const { return refusals; }
    // Stops answering for good, as a failing controller does.
    void Fail() { faults.neverAnswer = true; }

private:
    struct Wire {
        TransferKind kind;
        std::uint8_t start, header, data, end, ackTrailer, tickTrailer;
    };
    static const Wire* WireForStart(std::uint8_t byte);
    static const Wire* WireForHeader(std::uint8_t byte);

    std::vector<std::uint8_t> OutsideFrame(std::uint8_t byte);
    std::vector<std::uint8_t> FrameDone();
    std::vector<std::uint8_t> Answer(std::vector<std::uint8_t> bytes);
    std::vector<std::uint8_t> AnswerFrame(std::uint8_t echo);
    void Begin(const Wire& wire);
    void Refuse(Refusal why);

    Faults faults;
    std::optional<Transfer> current;
    const Wire* wire = nullptr;
    std::vector<std::uint8_t> frame;  // the frame being collected, command byte first
    bool resendAsked = false;         // the next frame is the one we asked to have again
    bool headerSeen = false;          // the current transfer's header frame has arrived
    bool refused = false;             // the current transfer is refused: frames are dropped
    int refusals = 0;
    // Raised by the thread that serves the line while another may read it.
    class SharedCount {
    public:
        SharedCount() = default;
        SharedCount(const SharedCount& other) : value(other.value.load()) {}
        SharedCount& operator=(const SharedCount& other) {
            value = other.value.load();
            return *this;
        }
        SharedCount& operator++() {
            ++value;
            return *this;
        }
        operator int() const { return value.load(); }

    private:
        std::atomic<int> value{0};
    };
    SharedCount framesReceived;
    int framesForResend = 0;
    int answeredFrames = 0;
    int farewells = 0;
    std::vector<Transfer> completed;
};

}  // namespace emu
