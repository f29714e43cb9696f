// pointer-shows NAME [SECONDS]: succeeds when the mouse pointer on the X display shows
// the cursor NAME of the cursor theme in use ("wait", "left_ptr"), any frame of an
// animated one. With SECONDS it prints "watching" and watches the pointer every few
// milliseconds until it shows NAME or the SECONDS are over, so that a short-lived shape
// is not missed. Exit 1: not shown; 2: no display
// or no XFixes; 3: the theme has no cursor of that name.
#include <X11/Xcursor/Xcursor.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

// The theme cursor's images, read from its files once for each pointer size met.
class ThemeCursor {
public:
    ThemeCursor(Display* display, const char* name) : m_display(display), m_name(name) {}
    ~ThemeCursor() { Forget(); }
    ThemeCursor(const ThemeCursor&) = delete;
    ThemeCursor& operator=(const ThemeCursor&) = delete;

    const XcursorImages* AtSize(unsigned size) {
        if (size != m_size) {
            Forget();
            m_images = XcursorLibraryLoadImages(m_name, XcursorGetTheme(m_display),
                                                static_cast<int>(size));
            m_size = size;
        }
        return m_images;
    }

private:
    void Forget() {
        if (m_images) XcursorImagesDestroy(m_images);
        m_images = nullptr;
    }
    Display* m_display;
    const char* m_name;
    XcursorImages* m_images = nullptr;
    unsigned m_size = 0;
};

// The pointer's image is one of the theme cursor's images (same size, hot spot, pixels).
bool Shows(Display* display, ThemeCursor& cursor) {
    XFixesCursorImage* now = XFixesGetCursorImage(display);
    if (!now) return false;
    bool same = false;
    const XcursorImages* images = cursor.AtSize(now->width);
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
    ThemeCursor cursor(display, name);
    bool shown = Shows(display, cursor);
    if (seconds > 0) {
        // Watching: the caller may go on with what should change the pointer now.
        std::puts("watching");
        std::fflush(stdout);
    }
    // A ceiling, not a wait: the loop ends as soon as the pointer shows the cursor.
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!shown && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        shown = Shows(display, cursor);
    }
    XCloseDisplay(display);
    return shown ? 0 : 1;
}
