#include "ui/ScreenFit.h"

#include <algorithm>

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>

namespace ui {

QRect FitInside(const QRect& wanted, const QRect& available) {
    const QSize size = wanted.size().boundedTo(available.size());
    const int x = std::clamp(wanted.x(), available.left(),
                             available.left() + available.width() - size.width());
    const int y = std::clamp(wanted.y(), available.top(),
                             available.top() + available.height() - size.height());
    return {x, y, size.width(), size.height()};
}

void KeepOnScreen(QWidget* window) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen || window->isMaximized() || window->isFullScreen())
        return;
    const QRect available = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    const QSize decoration = frame.size() - window->size();
    const QRect placed = FitInside(frame, available);
    if (placed == frame)
        return;
    const QSize inner = (placed.size() - decoration).expandedTo(window->minimumSize());
    if (inner != window->size())
        window->resize(inner);
    window->move(placed.topLeft());
}

bool ScreenFitter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        const Qt::WindowType type = window->windowType();
        if (window->isWindow() && (type == Qt::Window || type == Qt::Dialog)) {
            KeepOnScreen(window);
            // The window manager adds its frame after the window is shown.
            QTimer::singleShot(0, window, [w = QPointer<QWidget>(window)] {
                if (w && w->isVisible())
                    KeepOnScreen(w);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace ui
