#include "bench/xprobe.h"

#include <QByteArray>
#include <QFile>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xdamage.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

extern char** environ;

qint64 monotonicNs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

qint64 processCpuNs(pid_t pid)
{
    clockid_t clock;
    timespec t{};
    if (clock_getcpuclockid(pid, &clock) != 0 || clock_gettime(clock, &t) != 0)
        return -1;
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

namespace {
// One "Name:  value kB" line of a process's status, or -1.
long statusKb(pid_t pid, const QByteArray& name)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(name.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}
}  // namespace

long processRssKb(pid_t pid)
{
    return statusKb(pid, "VmRSS:");
}

long processPeakRssKb(pid_t pid)
{
    return statusKb(pid, "VmHWM:");
}

XProbe::~XProbe()
{
    if (dpy_)
        XCloseDisplay(dpy_);
    for (char* entry : environment_)
        std::free(entry);
}

namespace {
// A watched program's window may be gone by the time a request about it
// arrives; that is no reason to end the benchmark.
int ignoreXErrors(Display*, XErrorEvent*) { return 0; }
}  // namespace

bool XProbe::open(const QString& display)
{
    XSetErrorHandler(ignoreXErrors);
    display_ = display;
    dpy_ = XOpenDisplay(display.toLocal8Bit().constData());
    if (!dpy_)
        return false;
    int error = 0, major = 0, minor = 0, opcode = 0;
    if (!XDamageQueryExtension(dpy_, &damageBase_, &error) ||
        !XTestQueryExtension(dpy_, &error, &error, &major, &minor))
        return false;
    XSelectInput(dpy_, DefaultRootWindow(dpy_), SubstructureNotifyMask);
    int event = 0;
    if (XkbQueryExtension(dpy_, &opcode, &event, &error, &major, &minor)) {
        const unsigned numLock = XkbKeysymToModifiers(dpy_, XK_Num_Lock);
        if (numLock)
            XkbLockModifiers(dpy_, XkbUseCoreKbd, numLock, numLock);
    }
    XSync(dpy_, False);
    return true;
}

pid_t XProbe::launch(const QString& program, const QString& workDir, qint64* startedNs)
{
    // Everything is prepared before fork(): the child only changes folder and execs.
    for (char* entry : environment_)
        std::free(entry);
    environment_.clear();
    for (char** e = environ; *e; ++e)
        if (std::strncmp(*e, "DISPLAY=", 8) != 0 && std::strncmp(*e, "QT_QPA_PLATFORM=", 16) != 0)
            environment_.push_back(strdup(*e));
    environment_.push_back(strdup(("DISPLAY=" + display_.toStdString()).c_str()));
    environment_.push_back(strdup("QT_QPA_PLATFORM=xcb"));
    environment_.push_back(nullptr);
    const QByteArray path = program.toLocal8Bit(), dir = workDir.toLocal8Bit();
    char* const argv[] = {const_cast<char*>(path.constData()), nullptr};
    *startedNs = monotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(dir.constData()) != 0)
            _exit(126);
        execve(argv[0], argv, environment_.data());
        _exit(127);
    }
    return pid;
}

void XProbe::stop(pid_t pid)
{
    if (pid > 0) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
    // Its windows are gone; the server destroys their damage objects and
    // reports them destroyed.
    pump(20);
    damage_.clear();
    top_ = 0;
    topMappedNs_ = -1;
}

void XProbe::move(unsigned long window, int x, int y)
{
    XMoveWindow(dpy_, window, x, y);
    XSync(dpy_, False);
}

QSize XProbe::screenSize() const
{
    const int screen = DefaultScreen(dpy_);
    return QSize(DisplayWidth(dpy_, screen), DisplayHeight(dpy_, screen));
}

void XProbe::handle(void* raw)
{
    XEvent& event = *static_cast<XEvent*>(raw);
    const qint64 now = monotonicNs();
    if (event.type == CreateNotify) {
        // Watched from its creation, so no first paint is missed.
        const Window w = event.xcreatewindow.window;
        created_[w] = now;
        if (!damages_.count(w))
            damages_[w] = XDamageCreate(dpy_, w, XDamageReportRawRectangles);
    } else if (event.type == MapNotify) {
        top_ = event.xmap.window;
        topMappedNs_ = now;
    } else if (event.type == UnmapNotify) {
        if (event.xunmap.window == top_)
            topMappedNs_ = -1;
    } else if (event.type == DestroyNotify) {
        damages_.erase(event.xdestroywindow.window);
        created_.erase(event.xdestroywindow.window);
    } else if (event.type == damageBase_ + XDamageNotify) {
        const auto& d = reinterpret_cast<const XDamageNotifyEvent&>(event);
        damage_.push_back({d.drawable, QRect(d.area.x, d.area.y, d.area.width, d.area.height), now});
    }
}

bool XProbe::waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    const qint64 deadline = monotonicNs() + qint64(timeoutMs) * 1000000;
    XFlush(dpy_);
    for (;;) {
        while (XPending(dpy_)) {
            XEvent event;
            XNextEvent(dpy_, &event);
            handle(&event);
        }
        if (done())
            return true;
        const qint64 left = deadline - monotonicNs();
        if (left <= 0)
            return false;
        pollfd fd{ConnectionNumber(dpy_), POLLIN, 0};
        // Sub-millisecond waits as a busy poll: the answer is often that quick.
        timespec wait{0, std::min<qint64>(left, 200000)};
        ppoll(&fd, 1, &wait, nullptr);
    }
}

qint64 XProbe::topCreatedNs() const
{
    const auto found = created_.find(top_);
    return found == created_.end() ? -1 : found->second;
}

qint64 XProbe::firstDamage(unsigned long window, const QRect& area, qint64 sinceNs) const
{
    for (const Damage& d : damage_)
        if (d.window == window && d.ns >= sinceNs && (area.isEmpty() || d.rect.intersects(area)))
            return d.ns;
    return -1;
}

void XProbe::focus(unsigned long window)
{
    XSetInputFocus(dpy_, window, RevertToParent, CurrentTime);
    XSync(dpy_, False);
}

unsigned XProbe::keycode(const char* keysym)
{
    return XKeysymToKeycode(dpy_, XStringToKeysym(keysym));
}

qint64 XProbe::press(const char* keysym)
{
    const unsigned code = keycode(keysym);
    const qint64 sent = monotonicNs();
    XTestFakeKeyEvent(dpy_, code, True, CurrentTime);
    XFlush(dpy_);
    return sent;
}

void XProbe::release(const char* keysym)
{
    XTestFakeKeyEvent(dpy_, keycode(keysym), False, CurrentTime);
    XFlush(dpy_);
}

std::vector<unsigned> XProbe::pixels(unsigned long window, const QRect& area)
{
    std::vector<unsigned> out;
    XImage* image = XGetImage(dpy_, window, area.x(), area.y(), unsigned(area.width()),
                              unsigned(area.height()), AllPlanes, ZPixmap);
    if (!image)
        return out;
    out.reserve(std::size_t(area.width() * area.height()));
    for (int y = 0; y < area.height(); ++y)
        for (int x = 0; x < area.width(); ++x)
            out.push_back(unsigned(XGetPixel(image, x, y)) & 0xFFFFFFu);
    XDestroyImage(image);
    return out;
}
