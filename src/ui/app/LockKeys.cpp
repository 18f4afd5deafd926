#include "LockKeys.h"

#include <QGuiApplication>

#ifdef BRELUND_HAVE_X11
#include <X11/XKBlib.h>

namespace {

bool IndicatorOn(Display* display, const char* name) {
    const Atom atom = XInternAtom(display, name, True);
    if (atom == None)
        return false;
    Bool on = False;
    if (!XkbGetNamedIndicator(display, atom, nullptr, &on, nullptr, nullptr))
        return false;
    return on != False;
}

} // namespace
#endif

LockKeyState QueryLockKeys() {
    LockKeyState state;
#ifdef BRELUND_HAVE_X11
    if (auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        if (Display* display = x11->display()) {
            state.known = true;
            state.caps = IndicatorOn(display, "Caps Lock");
            state.num = IndicatorOn(display, "Num Lock");
            state.scroll = IndicatorOn(display, "Scroll Lock");
        }
    }
#endif
    return state;
}
