#pragma once

#include <QtGlobal>

// Caps Lock, Num Lock and Scroll Lock as the keyboard has them now.
struct LockKeys {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

// The keyboard's own state where the system tells it. On X11 that is the server's modifier state:
// a key event reports the state from before its key, so the release of Caps Lock switching it off
// still says "on". `eventState` (X11 modifier bits of the last key event) serves where no X
// server answers.
LockKeys ReadLockKeys(quint32 eventState);
