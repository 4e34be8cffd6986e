#pragma once

#include <QObject>
#include <QRect>

class QWidget;

namespace ui {

// `wanted` (a window's frame) shrunk to fit `available` and moved inside it.
QRect FitInside(const QRect& wanted, const QRect& available);

// Keeps a window inside the available area of its screen: smaller where its contents allow (their
// own scroll bars take the rest), and moved so its title bar and buttons can be reached.
void KeepOnScreen(QWidget* window);

// Does KeepOnScreen for every window of the application as it shows, at any font and scale.
class ScreenFitter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace ui
