#pragma once

#include <QPixmap>
#include <QTimer>
#include <QWidget>

class QEvent;

// The picture shown while the main window is being built: it closes after two seconds or at the
// first key or click, which then goes on to the window.
class CSplashWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kShowMs = 2000;

    static void SetSplashEnabled(bool enabled);
    static void ShowSplash(QWidget* parent);
    // Closes the splash at a key or click; the event still goes on to its widget.
    static void FilterSplashMessage(const QEvent* event);
    static void CloseSplash();
    static CSplashWnd* CurrentSplash() { return current_; }
    // Runs once, kShowMs after the splash showed, and closes it; tests fire it themselves.
    QTimer& CloseTimer() { return closeTimer_; }
    // Where the picture comes from; tests point it elsewhere.
    static inline QString picturePath = QStringLiteral(":/res/splash.png");

    ~CSplashWnd() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CSplashWnd(QWidget* parent, const QPixmap& picture);

    static inline bool enabled_ = false;
    static inline CSplashWnd* current_ = nullptr;
    QPixmap picture_;
    QTimer closeTimer_;
};
