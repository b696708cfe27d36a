// The benchmark's floor: a plain Xlib window that draws the last key's text
// on every key press, with nothing between the X server and the drawing.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstring>

int main()
{
    Display* dpy = XOpenDisplay(nullptr);
    if (!dpy)
        return 1;
    const int screen = DefaultScreen(dpy);
    XSetWindowAttributes attributes{};
    attributes.background_pixmap = None;   // as Qt's windows: the program paints everything
    attributes.event_mask = ExposureMask | KeyPressMask;
    const Window win = XCreateWindow(dpy, RootWindow(dpy, screen), 0, 0, 594, 375, 0, CopyFromParent,
                                     InputOutput, CopyFromParent, CWBackPixmap | CWEventMask, &attributes);
    XStoreName(dpy, win, "bench-xlib");
    const GC gc = XCreateGC(dpy, win, 0, nullptr);
    XMapWindow(dpy, win);
    char text[16] = "";
    int length = 0;
    for (;;) {
        XEvent event;
        XNextEvent(dpy, &event);
        if (event.type == KeyPress) {
            KeySym sym;
            length = XLookupString(&event.xkey, text, sizeof text - 1, &sym, nullptr);
        } else if (event.type != Expose) {
            continue;
        }
        XSetForeground(dpy, gc, BlackPixel(dpy, screen));
        XFillRectangle(dpy, win, gc, 0, 0, 594, 375);
        XSetForeground(dpy, gc, WhitePixel(dpy, screen));
        XDrawString(dpy, win, gc, 290, 190, text, length);
        XFlush(dpy);
    }
}
