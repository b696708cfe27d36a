#pragma once
// Watching programs from outside, through the X server: the benchmark starts
// a program on its display, sees its windows mapped and their pixels change
// (XDamage), presses keys as a keyboard would (XTEST) and reads the
// program's CPU time and memory from the kernel. Nothing in the watched
// program is changed or hooked.
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <sys/types.h>

#include <functional>
#include <map>
#include <vector>

typedef struct _XDisplay Display;

class XProbe {
public:
    struct Damage {
        unsigned long window;
        QRect rect;   // in the window's coordinates
        qint64 ns;
    };

    XProbe() = default;
    ~XProbe();
    XProbe(const XProbe&) = delete;
    XProbe& operator=(const XProbe&) = delete;

    // Connects to the display and turns NumLock on, so keypad keys are digits.
    bool open(const QString& display);
    QString display() const { return display_; }

    // Starts a program on the display in workDir; returns its pid (or -1)
    // and the monotonic time just before the start.
    pid_t launch(const QString& program, const QString& workDir, qint64* startedNs);
    // Ends a program started by launch(); the damage seen so far is
    // dropped, the other programs' windows stay watched.
    void stop(pid_t pid);
    // Moves a top-level window (there is no window manager to ask), so the
    // programs of one run stand side by side instead of covering each
    // other's pixels.
    void move(unsigned long window, int x, int y);
    QSize screenSize() const;

    // Reads events for up to timeoutMs, until `done` holds (checked after
    // every event batch). Returns whether it held.
    bool waitUntil(const std::function<bool()>& done, int timeoutMs);
    // Reads whatever events arrive within ms milliseconds.
    void pump(int ms) { waitUntil([] { return false; }, ms); }

    // The damage seen since the last clear, and the most recently mapped window.
    const std::vector<Damage>& damage() const { return damage_; }
    void clearDamage() { damage_.clear(); }
    unsigned long topWindow() const { return top_; }
    qint64 topMappedNs() const { return topMappedNs_; }
    // When the most recently mapped window was created, or -1.
    qint64 topCreatedNs() const;
    // The first damage to `window` within `area` (empty: anywhere) at or after
    // `sinceNs`, or -1.
    qint64 firstDamage(unsigned long window, const QRect& area, qint64 sinceNs) const;
    // The last damage anywhere, or -1.
    qint64 lastDamageNs() const { return damage_.empty() ? -1 : damage_.back().ns; }

    // Gives the keyboard to the window, as a click or a window manager would.
    void focus(unsigned long window);
    // A key, by X keysym name ("KP_4", "Escape"); returns the time it was sent.
    qint64 press(const char* keysym);
    void release(const char* keysym);

    // Pixels of a window area as 0xRRGGBB, row by row (empty when unreadable).
    std::vector<unsigned> pixels(unsigned long window, const QRect& area);

private:
    void handle(void* event);
    unsigned keycode(const char* keysym);

    Display* dpy_ = nullptr;
    QString display_;
    int damageBase_ = 0;
    std::map<unsigned long, unsigned long> damages_;   // window -> damage object
    std::map<unsigned long, qint64> created_;          // window -> its CreateNotify
    std::vector<Damage> damage_;
    unsigned long top_ = 0;
    qint64 topMappedNs_ = -1;
    std::vector<char*> environment_;
};

// The monotonic clock, in nanoseconds (the same as the benchmark's own).
qint64 monotonicNs();
// CPU time of a whole process (all its threads), or -1.
qint64 processCpuNs(pid_t pid);
// Resident memory of a process in KB, or -1.
long processRssKb(pid_t pid);
// The most resident memory the process has had so far, in KB, or -1.
long processPeakRssKb(pid_t pid);
