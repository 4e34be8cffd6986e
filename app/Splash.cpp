#include "app/Splash.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>

void CSplashWnd::SetSplashEnabled(bool enabled) {
    enabled_ = enabled;
}

CSplashWnd::CSplashWnd(QWidget* parent, const QPixmap& picture)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      picture_(picture) {
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    setFixedSize(picture_.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    closeTimer_.setSingleShot(true);
    closeTimer_.callOnTimeout(this, &CSplashWnd::CloseSplash);
    closeTimer_.start(kShowMs);
}

CSplashWnd::~CSplashWnd() {
    if (current_ == this)
        current_ = nullptr;
}

void CSplashWnd::ShowSplash(QWidget* parent) {
    if (!enabled_ || current_)
        return;
    const QPixmap picture(picturePath);
    if (picture.isNull())
        return;
    // Showing it delivers events: a key or click already waiting closes it before it paints.
    const QPointer<CSplashWnd> splash = new CSplashWnd(parent, picture);
    current_ = splash;
    splash->show();
    if (splash && current_ == splash)
        splash->repaint();
}

void CSplashWnd::FilterSplashMessage(const QEvent* event) {
    if (!current_)
        return;
    switch (event->type()) {
        case QEvent::ShortcutOverride:
        case QEvent::KeyPress:
        case QEvent::MouseButtonPress:
        case QEvent::NonClientAreaMouseButtonPress:
            // The user has started: the picture goes, and what they typed or clicked counts.
            CloseSplash();
            return;
        default:
            return;
    }
}

void CSplashWnd::CloseSplash() {
    CSplashWnd* splash = current_;
    if (!splash)
        return;
    current_ = nullptr;
    QWidget* owner = splash->parentWidget();
    splash->close();
    if (owner)
        owner->repaint();
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, picture_);
}
