#pragma once

#include <QColor>
#include <QPalette>

// Colours the program paints itself: taken from the palette, or one of a pair chosen by how light
// the palette's window is, so that they read on light and dark desktops alike.
namespace colours {

// By the window, or by another role where the colour is painted on it (the editor's base).
inline bool IsDark(const QPalette& palette, QPalette::ColorRole role = QPalette::Window) {
    return palette.color(role).lightness() < 128;
}

inline QColor Pick(const QPalette& palette, const QColor& light, const QColor& dark) {
    return IsDark(palette) ? dark : light;
}

// The red of a faulty line: its mark in the gutter, its background share and its text.
inline QColor Fault(const QPalette& palette) {
    return Pick(palette, QColor::fromHsl(0, 220, 120), QColor::fromHsl(0, 230, 150));
}

// `share` of the way from `a` to `b`.
inline QColor Blend(const QColor& a, const QColor& b, double share) {
    return QColor::fromRgbF(float(a.redF() * (1 - share) + b.redF() * share),
                            float(a.greenF() * (1 - share) + b.greenF() * share),
                            float(a.blueF() * (1 - share) + b.blueF() * share));
}

}  // namespace colours
