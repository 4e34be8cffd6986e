#include "app/LockKeys.h"

#include <QGuiApplication>

#ifdef Q_OS_WIN
#include <windows.h>
#elif defined(TARVEX_HAVE_XCB)
#include <xcb/xcb.h>
#endif

namespace {

// X11 modifier bits: Lock, and Mod2 which carries Num Lock on every usual keymap.
constexpr quint32 kX11CapsLock = 0x02;
constexpr quint32 kX11NumLock = 0x10;

#if !defined(Q_OS_WIN) && defined(TARVEX_HAVE_XCB)
bool ServerModifiers(quint32& state) {
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return false;
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr);
    if (!reply)
        return false;
    state = reply->mask;
    free(reply);
    return true;
}
#endif

}  // namespace

LockKeys ReadLockKeys(quint32 eventState) {
    LockKeys keys;
#ifdef Q_OS_WIN
    Q_UNUSED(eventState);
    keys.caps = GetKeyState(VK_CAPITAL) & 1;
    keys.num = GetKeyState(VK_NUMLOCK) & 1;
    keys.scroll = GetKeyState(VK_SCROLL) & 1;
#else
    quint32 state = eventState;
#ifdef TARVEX_HAVE_XCB
    ServerModifiers(state);
#endif
    // X11 has no modifier bit for Scroll Lock.
    keys.caps = state & kX11CapsLock;
    keys.num = state & kX11NumLock;
#endif
    return keys;
}
