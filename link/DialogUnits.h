#pragma once

#include <QRect>

namespace ctrl {

// The link dialogs are laid out in dialog units of the "System" 10 point font.
inline QRect FromDialogUnits(int x, int y, int width, int height) {
    auto horizontal = [](int units) { return units * 7 / 4; };
    auto vertical = [](int units) { return units * 19 / 10; };
    return {horizontal(x), vertical(y), horizontal(width), vertical(height)};
}

}  // namespace ctrl
