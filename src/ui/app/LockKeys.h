// The keyboard's Caps Lock, Num Lock and Scroll Lock state, where the window
// system reports it.
#pragma once

struct LockKeyState {
    bool known = false; // false: the window system does not say
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

LockKeyState QueryLockKeys();
