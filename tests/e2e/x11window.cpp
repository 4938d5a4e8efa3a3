// Waits for, or closes, a top-level X11 window by its title, the way a user
// would: closing sends the window manager's delete request, which Qt answers
// like a click on the close button. No window manager runs under Xvfb.
//   x11window wait TITLE TIMEOUT_MS
//   x11window close TITLE

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

Window findWindow(Display *display, Window parent, const std::string &title)
{
    Window root = 0;
    Window ignored = 0;
    Window *children = nullptr;
    unsigned int count = 0;
    if (!XQueryTree(display, parent, &root, &ignored, &children, &count))
        return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && !found; ++i) {
        char *name = nullptr;
        if (XFetchName(display, children[i], &name) && name) {
            if (title == name)
                found = children[i];
            XFree(name);
        }
        if (!found)
            found = findWindow(display, children[i], title);
    }
    if (children)
        XFree(children);
    return found;
}

Window waitForWindow(Display *display, const std::string &title, int timeoutMs)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (Window window = findWindow(display, DefaultRootWindow(display), title))
            return window;
        if (std::chrono::steady_clock::now() >= deadline)
            return 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}

void requestClose(Display *display, Window window)
{
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = long(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace

int main(int argc, char *argv[])
{
    const bool wait = argc == 4 && std::strcmp(argv[1], "wait") == 0;
    const bool close = argc == 3 && std::strcmp(argv[1], "close") == 0;
    if (!wait && !close) {
        std::fprintf(stderr, "usage: %s wait TITLE TIMEOUT_MS | close TITLE\n", argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the X display\n", argv[0]);
        return 2;
    }
    const Window window = waitForWindow(display, argv[2], wait ? std::atoi(argv[3]) : 0);
    if (window && close)
        requestClose(display, window);
    XCloseDisplay(display);
    return window ? 0 : 1;
}
