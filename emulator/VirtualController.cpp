#include "emulator/VirtualController.h"

#include <algorithm>
#include <iterator>

namespace emu {

// The controller keeps its own copy of the protocol's bytes on purpose: it is the oracle the host's
// tests check against, so a wrong constant on the host's side fails them instead of agreeing.
namespace {
constexpr std::uint8_t kHandshake = 1;
constexpr std::uint8_t kFarewell = 136;
constexpr std::uint8_t kResendRequest = 90;
constexpr std::size_t kFrameBytes = 18;  // command byte, 16 payload bytes, trailer
}  // namespace

// The controller's copy of the wire bytes of each download, and the trailer that marks a packet
// the host sent again because our answer was late.
const VirtualController::Wire* VirtualController::WireForStart(std::uint8_t byte) {
    static const Wire wires[] = {{TransferKind::Program, 2, 18, 3, 4, 85, 0},
                                 {TransferKind::Parameters, 5, 21, 6, 7, 85, 0},
                                 {TransferKind::Screen, 8, 24, 9, 10, 0, 85}};
    for (const Wire& w : wires) {
        if (w.start == byte)
            return &w;
    }
    return nullptr;
}

const VirtualController::Wire* VirtualController::WireForHeader(std::uint8_t byte) {
    for (std::uint8_t start : {2, 5, 8}) {
        const Wire* w = WireForStart(start);
        if (w->header == byte)
            return w;
    }
    return nullptr;
}

VirtualController::VirtualController(Faults faults) : faults(std::move(faults)) {}

std::vector<std::uint8_t> VirtualController::Feed(std::uint8_t byte) {
    if (!frame.empty()) {
        frame.push_back(byte);
        return frame.size() == kFrameBytes ? FrameDone() : std::vector<std::uint8_t>{};
    }
    return OutsideFrame(byte);
}

void VirtualController::Begin(const Wire& w) {
    wire = &w;
    current = Transfer{};
    current->kind = w.kind;
    resendAsked = false;
    headerSeen = false;
    refused = false;
}

void VirtualController::Refuse(Refusal why) {
    if (refused)
        return;
    refused = true;
    ++refusals;
    if (onRefused)
        onRefused(why);
}

// A byte outside a frame: the handshake, the farewell, a start or end byte, or the command byte
// that opens a frame. Anything else is line noise and ignored.
std::vector<std::uint8_t> VirtualController::OutsideFrame(std::uint8_t byte) {
    if (byte == kHandshake) {
        current.reset();
        wire = nullptr;
        std::vector<std::uint8_t> answer = faults.handshakePrefix;
        answer.push_back(kHandshake);
        return Answer(std::move(answer));
    }
    if (byte == kFarewell) {
        current.reset();
        wire = nullptr;
        ++farewells;
        return {};
    }
    if (const Wire* w = WireForStart(byte)) {
        Begin(*w);
        ++framesReceived;
        if (canKeep && !canKeep())
            Fail();
        return AnswerFrame(byte);
    }
    if (const Wire* w = WireForHeader(byte)) {
        // A header without its start byte: the host resent it before hearing our answer.
        if (!current || wire != w)
            Begin(*w);
        frame.push_back(byte);
        return {};
    }
    if (current && byte == wire->data) {
        frame.push_back(byte);
        return {};
    }
    if (current && byte == wire->end) {
        ++framesReceived;
        // Bytes beyond the last whole record are only the last packet's padding when fewer
        // than a packet's worth: 16 and more mean a record was cut short.
        if (wire->kind == TransferKind::Program && current->data.size() % 24 >= 16)
            Refuse(Refusal::PartialRecord);
        if (!refused) {
            completed.push_back(std::move(*current));
            if (onCompleted)
                onCompleted(completed.back());
        }
        current.reset();
        wire = nullptr;
        refused = false;
    }
    return {};
}

std::vector<std::uint8_t> VirtualController::FrameDone() {
    const std::uint8_t command = frame.front();
    const bool late = !resendAsked && frame.back() == wire->tickTrailer;
    const auto payloadBegin = frame.begin() + 1;
    const auto payloadEnd = frame.end() - 1;
    ++framesReceived;

    if (!resendAsked && faults.resendEvery > 0 && ++framesForResend % faults.resendEvery == 0) {
        frame.clear();
        resendAsked = true;
        return Answer({kResendRequest});
    }
    resendAsked = false;
    if (command != wire->header && !headerSeen)
        Refuse(Refusal::DataWithoutHeader);
    if (refused) {
        frame.clear();
        return {};
    }
    if (command == wire->header) {
        headerSeen = true;
        std::copy(payloadBegin, payloadEnd, current->header.begin());
    } else {
        // A packet resent because our answer came late replaces the copy we already hold.
        if (late && current->data.size() >= 16)
            current->data.resize(current->data.size() - 16);
        current->data.insert(current->data.end(), payloadBegin, payloadEnd);
    }
    frame.clear();
    return AnswerFrame(command);
}

std::vector<std::uint8_t> VirtualController::AnswerFrame(std::uint8_t echo) {
    if (faults.stopAfterFrames >= 0 && answeredFrames >= faults.stopAfterFrames) {
        faults.neverAnswer = true;
    }
    ++answeredFrames;
    return Answer({echo});
}

std::vector<std::uint8_t> VirtualController::Answer(std::vector<std::uint8_t> bytes) {
    if (faults.neverAnswer)
        return {};
    std::vector<std::uint8_t> out = faults.noise;
    out.insert(out.end(), bytes.begin(), bytes.end());
    return out;
}

}  // namespace emu
