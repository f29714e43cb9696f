// pointer-shows NAME [SECONDS]: succeeds when the mouse pointer on the X display shows
// the cursor NAME of the cursor theme in use ("wait", "left_ptr"), any frame of an
// animated one. With SECONDS it watches the pointer every few milliseconds until
// then, so that a short-lived shape is not missed. Exit 1: not shown; 2: no display
// or no XFixes; 3: the theme has no cursor of that name.
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// The pointer's image is one of the theme cursor's images (same size, hot spot, pixels).
bool Shows(Display* display, const char* name) {
    XFixesCursorImage* now = XFixesGetCursorImage(display);
    if (!now) return false;
    bool same = false;
    XcursorImages* images =
        XcursorLibraryLoadImages(name, XcursorGetTheme(display), static_cast<int>(now->width));
    for (int i = 0; images && !same && i < images->nimage; ++i) {
        const XcursorImage* image = images->images[i];
        if (image->width != now->width || image->height != now->height ||
            image->xhot != now->xhot || image->yhot != now->yhot) {
            continue;
        }
        same = true;
        // The server hands pixels out as longs; the ARGB value is in the low 32 bits.
        for (size_t p = 0; same && p < size_t{image->width} * image->height; ++p)
            same = image->pixels[p] == (now->pixels[p] & 0xFFFFFFFFUL);
    }
    if (images) XcursorImagesDestroy(images);
    XFree(now);
    return same;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: pointer-shows NAME [SECONDS]\n", stderr);
        return 2;
    }
    const char* name = argv[1];
    const double seconds = argc > 2 ? std::atof(argv[2]) : 0.0;
    Display* display = XOpenDisplay(nullptr);
    int eventBase = 0, errorBase = 0;
    if (!display || !XFixesQueryExtension(display, &eventBase, &errorBase)) {
        std::fputs("pointer-shows: no X display with XFixes\n", stderr);
        return 2;
    }
    XcursorImages* known = XcursorLibraryLoadImages(name, XcursorGetTheme(display), 24);
    if (!known) {
        std::fprintf(stderr, "pointer-shows: the cursor theme has no '%s'\n", name);
        return 3;
    }
    XcursorImagesDestroy(known);
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    bool shown = Shows(display, name);
    while (!shown && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        shown = Shows(display, name);
    }
    XCloseDisplay(display);
    return shown ? 0 : 1;
}
