#pragma once
// The state of the caps, num and scroll lock keys, for the status bar.

namespace vantor::app {

struct KeyboardLocks {
    bool caps = false;
    bool num = false;
    bool scroll = false;
};

/// Read from the X server's keyboard indicators; all off where there is
/// no X display (Wayland, offscreen).
KeyboardLocks ReadKeyboardLocks();

}  // namespace vantor::app
