#include "KeyboardLocks.h"

#include <QGuiApplication>

#ifdef VANTOR_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace vantor::app {

KeyboardLocks ReadKeyboardLocks() {
    KeyboardLocks locks;
#ifdef VANTOR_HAVE_X11
    auto* x11 = qGuiApp != nullptr ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 != nullptr ? x11->display() : nullptr;
    unsigned int state = 0;
    if (display != nullptr && XkbGetIndicatorState(display, XkbUseCoreKbd, &state) == Success) {
        // The core keyboard's first three indicators: Caps, Num, Scroll.
        locks.caps = (state & 1u) != 0;
        locks.num = (state & 2u) != 0;
        locks.scroll = (state & 4u) != 0;
    }
#endif
    return locks;
}

}  // namespace vantor::app
