// A window manager of the least kind, for the real-window test under Xvfb: windows are mapped and
// placed as their clients ask, and the standard full-screen request (a _NET_WM_STATE client
// message naming _NET_WM_STATE_FULLSCREEN), which only a window manager carries out, makes a
// window cover the screen and, when withdrawn, puts it back where it was. No decorations.
// Prints "ready" once it manages the screen; runs until killed.
// usage: full_screen_wm
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cstdio>
#include <map>

namespace {

struct Geometry {
    int x = 0, y = 0;
    unsigned width = 0, height = 0;
};

int ignoreErrors(Display*, XErrorEvent*) {
    return 0;  // a window may be gone by the time a request about it arrives
}

}  // namespace

int main() {
    Display* display = XOpenDisplay(nullptr);
    if (!display) return 1;
    const Window root = DefaultRootWindow(display);
    const Atom state = XInternAtom(display, "_NET_WM_STATE", False);
    const Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    XSelectInput(display, root, SubstructureRedirectMask);
    XSync(display, False);
    XSetErrorHandler(ignoreErrors);
    std::puts("ready");
    std::fflush(stdout);

    std::map<Window, Geometry> windowed;  // full-screen windows and where they were before
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapRequest) {
            XMapWindow(display, event.xmaprequest.window);
        } else if (event.type == ConfigureRequest) {
            const XConfigureRequestEvent& request = event.xconfigurerequest;
            XWindowChanges changes{};
            changes.x = request.x, changes.y = request.y;
            changes.width = request.width, changes.height = request.height;
            changes.border_width = request.border_width;
            changes.sibling = request.above, changes.stack_mode = request.detail;
            XConfigureWindow(display, request.window, static_cast<unsigned>(request.value_mask),
                             &changes);
        } else if (event.type == ClientMessage && event.xclient.message_type == state &&
                   (static_cast<Atom>(event.xclient.data.l[1]) == fullScreen ||
                    static_cast<Atom>(event.xclient.data.l[2]) == fullScreen)) {
            const Window window = event.xclient.window;
            const long action = event.xclient.data.l[0];  // 0 remove, 1 add, 2 toggle
            const bool isFull = windowed.count(window) != 0;
            const bool wantFull = action == 2 ? !isFull : action == 1;
            if (wantFull && !isFull) {
                Geometry& before = windowed[window];
                Window unusedRoot;
                unsigned border = 0, depth = 0;
                XGetGeometry(display, window, &unusedRoot, &before.x, &before.y, &before.width,
                             &before.height, &border, &depth);
                const Screen* screen = DefaultScreenOfDisplay(display);
                XMoveResizeWindow(display, window, 0, 0, static_cast<unsigned>(screen->width),
                                  static_cast<unsigned>(screen->height));
                XChangeProperty(display, window, state, XA_ATOM, 32, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(&fullScreen), 1);
            } else if (!wantFull && isFull) {
                const Geometry before = windowed[window];
                windowed.erase(window);
                XMoveResizeWindow(display, window, before.x, before.y, before.width, before.height);
                XChangeProperty(display, window, state, XA_ATOM, 32, PropModeReplace, nullptr, 0);
            }
        }
    }
}
