#pragma once

#include <chrono>
#include <functional>
#include <memory>

#include "emulator/VirtualController.h"

namespace emu {

// A line of units passing the station: each unit is a fresh controller; after its farewell the
// line is silent for the swap time (the unit is carried away), then the next unit answers. Only
// the `faultyUnit`-th unit (1-based; 0 for every unit) has the faults, the rest are clean.
class UnitLine : public VirtualController {
public:
    using Clock = std::chrono::steady_clock;

    // The host sees a unit leave only when a handshake goes unanswered, so the line answers
    // nothing until the swap time has passed and one byte has gone unanswered. The least swap
    // keeps a line's pace near a real one.
    static constexpr int kLeastSwapMs = 200;
    static constexpr int kDefaultSwapMs = 300;

    UnitLine(int units, std::chrono::milliseconds swap, Faults faults, int faultyUnit,
             std::function<Clock::time_point()> now = Clock::now);

    std::vector<std::uint8_t> Feed(std::uint8_t byte) override;

    // 1-based number of the unit on the line now; past the last unit the line stays silent.
    int Unit() const { return unit; }
    // Called with the unit's number and each transfer it completed.
    std::function<void(int unit, const Transfer&)> onUnitCompleted;
    // Asked as each transfer starts whether it can be kept.
    std::function<bool(int unit)> canKeepUnit;

private:
    void NextUnit();

    int units;
    std::chrono::milliseconds swap;
    Faults faults;
    int faultyUnit;
    std::function<Clock::time_point()> now;
    int unit = 0;
    std::unique_ptr<VirtualController> current;
    Clock::time_point silentUntil{};
    bool heardGone = true;
};

}  // namespace emu
