#include "emulator/UnitLine.h"

#include <utility>

namespace emu {

UnitLine::UnitLine(int units, std::chrono::milliseconds swap, Faults faults, int faultyUnit,
                   std::function<Clock::time_point()> now)
    : units(units),
      swap(swap),
      faults(std::move(faults)),
      faultyUnit(faultyUnit),
      now(std::move(now)) {
    NextUnit();
}

void UnitLine::NextUnit() {
    ++unit;
    current.reset();
    if (unit > units)
        return;
    const bool faulty = faultyUnit == 0 || faultyUnit == unit;
    current = std::make_unique<VirtualController>(faulty ? faults : Faults{});
    const int number = unit;
    current->onCompleted = [this, number](const Transfer& t) {
        if (onUnitCompleted)
            onUnitCompleted(number, t);
    };
    current->canKeep = [this, number] { return !canKeepUnit || canKeepUnit(number); };
    current->onRefused = onRefused;
}

std::vector<std::uint8_t> UnitLine::Feed(std::uint8_t byte) {
    const Clock::time_point at = now();
    if (at < silentUntil) {
        heardGone = true;
        return {};
    }
    if (current && current->Farewells() > 0) {
        // A host that was busy through the whole swap has not yet found the unit gone: its first
        // byte after the swap goes unanswered too, else the next unit would answer for this one.
        if (!heardGone) {
            heardGone = true;
            return {};
        }
        NextUnit();
    }
    if (!current)
        return {};
    std::vector<std::uint8_t> answer = current->Feed(byte);
    if (current->Farewells() > 0) {
        silentUntil = at + swap;
        heardGone = false;
    }
    return answer;
}

}  // namespace emu
