// Waits for, or closes, a top-level X11 window by its title, the way a user
// would: closing sends the window manager's delete request, which Qt answers
// like a click on the close button. No window manager runs under Xvfb. Types
// keys into a window, named as X names them (Tab, Right, space), through the
// server's test extension, as a keyboard would. Gives the screen an EDID, as
// a monitor would, or takes it away.
//   x11window wait TITLE TIMEOUT_MS
//   x11window close TITLE
//   x11window keys TITLE KEY...
//   x11window edid [MODEL SERIAL]

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xrandr.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

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

// Gives the window the keyboard's focus first, as a window manager would on
// a click into it.
bool typeKeys(Display *display, Window window, char **keys, int count)
{
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XSync(display, False);
    for (int i = 0; i < count; ++i) {
        const KeyCode code = XKeysymToKeycode(display, XStringToKeysym(keys[i]));
        if (!code)
            return false;
        // Apart, as a person types, so that each key is handled before the next.
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XSync(display, False);
    }
    return true;
}

// An EDID base block of the maker "VRN" that names `model` and `serial` in text
// descriptors.
std::vector<unsigned char> edid(const char *model, const char *serial)
{
    std::vector<unsigned char> block(128);
    const unsigned char start[] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x5A, 0x4E};
    std::copy(std::begin(start), std::end(start), block.begin());
    block[24] = 0x04; // sRGB, so that Qt wants no colour primaries
    const auto describe = [&](std::size_t offset, unsigned char tag, const char *text) {
        block[offset + 3] = tag;
        const std::size_t length = std::min<std::size_t>(std::strlen(text), 13);
        std::fill_n(block.begin() + long(offset + 5), 13, ' ');
        std::copy_n(text, length, block.begin() + long(offset + 5));
        if (length < 13)
            block[offset + 5 + length] = '\n';
    };
    describe(54, 0xFC, model);
    describe(72, 0xFF, serial);
    unsigned sum = 0;
    for (int i = 0; i < 127; ++i)
        sum += block[i];
    block[127] = static_cast<unsigned char>(256 - sum % 256);
    return block;
}

// An empty block takes the EDID away.
void setEdid(Display *display, const std::vector<unsigned char> &block)
{
    XRRScreenResources *resources = XRRGetScreenResources(display, DefaultRootWindow(display));
    const Atom property = XInternAtom(display, "EDID", False);
    for (int i = 0; i < resources->noutput; ++i) {
        if (block.empty())
            XRRDeleteOutputProperty(display, resources->outputs[i], property);
        else
            XRRChangeOutputProperty(display, resources->outputs[i], property, XA_INTEGER, 8,
                                    PropModeReplace, block.data(), int(block.size()));
    }
    XRRFreeScreenResources(resources);
    XSync(display, False);
}

} // namespace

int main(int argc, char *argv[])
{
    const bool wait = argc == 4 && std::strcmp(argv[1], "wait") == 0;
    const bool close = argc == 3 && std::strcmp(argv[1], "close") == 0;
    const bool type = argc >= 4 && std::strcmp(argv[1], "keys") == 0;
    const bool describe = (argc == 2 || argc == 4) && std::strcmp(argv[1], "edid") == 0;
    if (!wait && !close && !type && !describe) {
        std::fprintf(stderr,
                     "usage: %s wait TITLE TIMEOUT_MS | close TITLE | keys TITLE KEY... | "
                     "edid [MODEL SERIAL]\n",
                     argv[0]);
        return 2;
    }
    Display *display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "%s: cannot open the X display\n", argv[0]);
        return 2;
    }
    // Windows come and go while the tree is searched (Wine makes and drops
    // windows of its own as a program starts): one gone meanwhile is skipped.
    XSetErrorHandler([](Display *, XErrorEvent *) { return 0; });
    if (describe) {
        setEdid(display, argc == 4 ? edid(argv[2], argv[3]) : std::vector<unsigned char>());
        XCloseDisplay(display);
        return 0;
    }
    const Window window = waitForWindow(display, argv[2], wait ? std::atoi(argv[3]) : 0);
    if (window && close)
        requestClose(display, window);
    const bool typed = window && type && typeKeys(display, window, argv + 3, argc - 3);
    XCloseDisplay(display);
    return window && (!type || typed) ? 0 : 1;
}
