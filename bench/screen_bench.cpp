// The game seen from outside, as a player sees it: programs run on an Xvfb
// display, keys come through XTEST, and an answer counts once its pixels
// reach the X server (XDamage). A plain Xlib window and a minimal Qt Widgets
// label, each repainting on every key, run in the same run as references.
// Every program goes through the same code (the same reads of the screen,
// the same pauses, the same measure of a key) and they take turns: start-up
// in rounds of Xlib, Qt, Qt with a line of text and game, each round
// starting with the next of them; key presses with the game, Qt and Xlib
// running side by side, in rounds of game, Qt, Xlib, so a busy moment of the
// machine falls on all of them alike.
#include "bench/bench.h"
#include "bench/xprobe.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <random>
#include <utility>

namespace {

// The bare Qt window's own start-up moves by a few milliseconds from run to
// run; twenty rounds keep the medians' ratio steadier than ten did.
constexpr int kStartupRuns = 20;
constexpr int kKeyRounds = 8;
constexpr int kPressesPerRound = 25;
constexpr int kIdleMs = 5000;
constexpr int kPlayingMs = 6000;   // over all rounds
constexpr int kKeysPerSecond = 8;
constexpr int kTitleSettleMs = 600;   // a player who reads the title first
constexpr int kEarlyKeyMs = 200;      // a player who knows the keys already
constexpr int kFocusSettleMs = 200;   // the focus change's own work is done by then
// The goals, as ratios to the references so they hold on any machine.
constexpr double kStartupGoalRatio = 1.2;    // × bare Qt
constexpr double kKeyGoalXlib = 2.0, kKeyGoalQt = 0.8;
constexpr double kCpuGoalRatio = 1.0;        // × Qt label, median
constexpr double kSwitchGoalRatio = 2.0;     // first ÷ later
constexpr int kRectsGoal = 2;                // damage rectangles of one hit
// The game also runs its stage clock and the sound device while playing.
constexpr double kPlayingGoalRatio = 2.0;
// The game also holds its artwork, sounds, fonts and SDL, and has its play
// screen ready by then.
constexpr double kRssGoalRatio = 2.0;
constexpr qint64 kQuietNs = 3000000;  // no new pixels for this long: the answer is complete
// After the last key the sound device still plays and then waits 2 s before
// it rests; idle is measured from then on.
constexpr int kAfterPlayQuietMs = 3000;
// A broken tavo.dat as large as the reader takes: 60 MB, its one fault in
// the last bytes, judged within these bounds.
constexpr qint64 kBrokenDataBytes = 60LL * 1024 * 1024;
constexpr double kBrokenDataGoalMs = 2000;
constexpr long kBrokenDataGoalKb = 256 * 1024;

struct Samples {
    std::vector<double> startupMs, rssKb, latencyMs, wholeMs, cpuUs, rects;
    // The start-up's stages: exec → its window created, → mapped.
    std::vector<double> createdMs, mappedMs;
    std::vector<double> firstSwitchMs, earlySwitchMs, laterSwitchMs;
    double idlePct = -1, idleAfterPlayPct = -1;
    qint64 playingCpuNs = 0, playingWallNs = 0;
    int dropped = 0;   // key samples a clock tick fell into
    int lost = 0;      // presses that changed nothing (wrongly read target)
    double playingPct() const { return playingWallNs > 0 ? double(playingCpuNs) / double(playingWallNs) * 100 : -1; }
};

// One program of the run, with its window while it runs.
struct Program {
    QString path;
    bool game;
    Samples* s;
    pid_t pid = -1;
    unsigned long window = 0;
    int nextDigit = 0;   // the references are sent 1..9 in turn
};

// Waits until the newest window is mapped and painted; the time of that
// paint, or -1.
qint64 waitPainted(XProbe& x, qint64 sinceNs, unsigned long notWindow, int timeoutMs)
{
    qint64 painted = -1;
    x.waitUntil(
        [&] {
            if (x.topMappedNs() < sinceNs || x.topWindow() == notWindow)
                return false;
            painted = x.firstDamage(x.topWindow(), QRect(), x.topMappedNs());
            return painted >= 0;
        },
        timeoutMs);
    return painted;
}

// The key the play screen asks for now, read from the bottom row's pixels:
// which cell holds a coloured digit gives its column, the colour its row of
// the keypad (green 1-3, cyan 4-6, yellow 7-9). Read from every program's
// window alike, so the round trip to the X server is not the game's alone.
int readTarget(XProbe& x, unsigned long window, const PlayScreenAreas& play)
{
    int bestCell = -1, bestCount = 0;
    double r = 0, g = 0, b = 0;
    for (int c = 0; c < 3; ++c) {
        int count = 0;
        double cr = 0, cg = 0, cb = 0;
        for (unsigned p : x.pixels(window, play.bottomCells[c])) {
            const int pr = int(p >> 16 & 0xFF), pg = int(p >> 8 & 0xFF), pb = int(p & 0xFF);
            // Every digit's colour has green in it; black, the grey border
            // and the red frame around the row do not count.
            if (pg < 64 || std::max({pr, pg, pb}) - std::min({pr, pg, pb}) < 64)
                continue;
            ++count;
            cr += pr;
            cg += pg;
            cb += pb;
        }
        if (count > bestCount) {
            bestCount = count;
            bestCell = c;
            r = cr;
            g = cg;
            b = cb;
        }
    }
    if (bestCell < 0)
        return -1;
    const int group = b > g / 2 ? 1 : r > g / 2 ? 2 : 0;
    const int residue = play.bottomResidue[bestCell];
    return group * 3 + (residue == 0 ? 3 : residue);
}

const char* keypadKey(int digit)
{
    static const char* const names[] = {"KP_0", "KP_1", "KP_2", "KP_3", "KP_4",
                                        "KP_5", "KP_6", "KP_7", "KP_8", "KP_9"};
    return names[std::clamp(digit, 0, 9)];
}

// One key press: the time until the window's first new pixels, the damage
// rectangles and the CPU time until the answer was complete. The same for
// every program; for the game, `tickArea` tells a clock tick that fell into
// the answer (its work is not the key's).
bool measureKey(XProbe& x, const Program& p, const char* key, const QRect& tickArea, bool record)
{
    Samples& s = *p.s;
    x.clearDamage();
    const qint64 cpu0 = processCpuNs(p.pid);
    const qint64 sent = x.press(key);
    qint64 shown = -1;
    const bool seen = x.waitUntil([&] { return (shown = x.firstDamage(p.window, QRect(), sent)) >= 0; }, 300);
    if (seen)
        x.waitUntil([&] { return monotonicNs() - x.lastDamageNs() > kQuietNs; }, 50);
    const qint64 cpu1 = processCpuNs(p.pid);
    x.release(key);
    if (!seen) {
        ++s.lost;
        return false;
    }
    if (!record)
        return true;
    if (!tickArea.isEmpty() && x.firstDamage(p.window, tickArea, sent) >= 0) {
        ++s.dropped;
        return true;
    }
    int rects = 0;
    qint64 whole = shown;
    for (const XProbe::Damage& d : x.damage()) {
        if (d.window == p.window && d.ns >= sent) {
            ++rects;
            whole = std::max(whole, d.ns);
        }
    }
    s.latencyMs.push_back(double(shown - sent) / 1e6);
    s.wholeMs.push_back(double(whole - sent) / 1e6);
    s.cpuUs.push_back(double(cpu1 - cpu0) / 1e3);
    s.rects.push_back(rects);
    return true;
}

// Start-up to the first painted window, the memory a moment later and, for
// the game, the first switch from the title to the play screen, pressed
// `keyAfterMs` after the title's first paint.
void launchOnce(XProbe& x, const QString& program, const QString& workDir, bool game, Samples& s, bool record,
                int keyAfterMs)
{
    qint64 started = 0;
    const pid_t pid = x.launch(program, workDir, &started);
    const qint64 painted = waitPainted(x, started, 0, 15000);
    if (painted < 0) {
        std::fprintf(stderr, "quennel_bench: %s showed no window\n", qPrintable(program));
        x.stop(pid);
        return;
    }
    const unsigned long title = x.topWindow();
    x.waitUntil([&] { return monotonicNs() - painted >= qint64(keyAfterMs) * 1000000; }, keyAfterMs + 100);
    const bool early = keyAfterMs < kTitleSettleMs;
    if (record && !early) {
        s.startupMs.push_back(double(painted - started) / 1e6);
        s.createdMs.push_back(double(x.topCreatedNs() - started) / 1e6);
        s.mappedMs.push_back(double(x.topMappedNs() - started) / 1e6);
        s.rssKb.push_back(double(processRssKb(pid)));
    }
    if (game) {
        const qint64 sent = x.press("KP_4");
        const qint64 shown = waitPainted(x, sent, title, 5000);
        x.release("KP_4");
        if (shown >= 0 && record)
            (early ? s.earlySwitchMs : s.firstSwitchMs).push_back(double(shown - sent) / 1e6);
    }
    x.stop(pid);
}

// A key to the game and its newest window's next paint in `area` (empty: a
// new window). The game's window is then the newest one.
bool step(XProbe& x, Program& game, const char* key, const QRect& area, int timeoutMs)
{
    const unsigned long before = game.window;
    x.clearDamage();
    const qint64 sent = x.press(key);
    x.release(key);
    const bool ok = area.isEmpty() ? waitPainted(x, sent, before, timeoutMs) >= 0
                                   : x.waitUntil([&] { return x.firstDamage(before, area, sent) >= 0; }, timeoutMs);
    if (!ok)
        std::fprintf(stderr, "quennel_bench: %s brought no change\n", key);
    // The whole answer is in before the next key.
    x.waitUntil([&] { return monotonicNs() - std::max(sent, x.lastDamageNs()) > 30000000; }, 2000);
    game.window = x.topWindow();
    x.focus(game.window);
    return ok;
}

// Presses `presses` keys, measured, each after a pause of 20 to 50 ms, or
// for `ms` at kKeysPerSecond, unmeasured. The game is sent the key it asks
// for; every program has its screen read before each key all the same.
bool playKeys(XProbe& x, Program& p, const PlayScreenAreas& play, int presses, int ms, std::mt19937& random)
{
    const qint64 end = monotonicNs() + qint64(ms) * 1000000;
    const qint64 period = 1000000000 / kKeysPerSecond;
    qint64 next = monotonicNs();
    for (int i = 0; presses > 0 ? i < presses : monotonicNs() < end; ++i) {
        const int read = readTarget(x, p.window, play);
        const int digit = p.game ? read : 1 + p.nextDigit++ % 9;
        if (digit < 1)
            return false;
        if (presses > 0) {
            x.pump(20 + int(random() % 30));   // presses at every phase of whatever else runs
        } else {
            next += period;
            x.pump(int(std::max<qint64>(0, next - monotonicNs()) / 1000000));
        }
        measureKey(x, p, keypadKey(digit), p.game ? play.clockAreas[0] : QRect(), presses > 0);
    }
    return true;
}

// Idle CPU of every program over the same seconds.
void idleTogether(XProbe& x, std::vector<Program*> programs, double Samples::*into)
{
    std::vector<qint64> cpu0;
    for (Program* p : programs)
        cpu0.push_back(processCpuNs(p->pid));
    const qint64 wall0 = monotonicNs();
    x.pump(kIdleMs);
    const double wall = double(monotonicNs() - wall0);
    for (std::size_t i = 0; i < programs.size(); ++i)
        programs[i]->s->*into = double(processCpuNs(programs[i]->pid) - cpu0[i]) / wall * 100;
}

// The three programs side by side: idle CPU at the title, then rounds of
// key presses (game, Qt, Xlib, game, ...), CPU while playing and, between
// the game's rounds, later switches from the title to the play screen.
void keyRounds(XProbe& x, const ScreenBenchSetup& setup, Samples& game, Samples& qt, Samples& xlib)
{
    std::mt19937 random(12345);
    Program programs[] = {{setup.gameBinary, true, &game}, {setup.refQt, false, &qt}, {setup.refXlib, false, &xlib}};
    auto stopAll = [&] {
        for (Program& p : programs)
            if (p.pid > 0)
                x.stop(std::exchange(p.pid, -1));
    };
    for (Program& p : programs) {
        qint64 started = 0;
        p.pid = x.launch(p.path, setup.gameDir, &started);
        if (waitPainted(x, started, 0, 15000) < 0) {
            std::fprintf(stderr, "quennel_bench: %s showed no window\n", qPrintable(p.path));
            stopAll();
            return;
        }
        p.window = x.topWindow();
    }
    // The game stands centred; the references go to the upper corners.
    const QSize screen = x.screenSize();
    x.move(programs[1].window, 0, 0);
    x.move(programs[2].window, screen.width() - 594, 0);
    if (screen.width() < 3 * 594 || screen.height() < 2 * 375)
        std::fprintf(stderr, "quennel_bench: the display is too small for three windows side by side\n");
    x.pump(1000);
    idleTogether(x, {&programs[0], &programs[1], &programs[2]}, &Samples::idlePct);

    Program& g = programs[0];
    const QRect commentary = setup.play.clockAreas[1];
    x.focus(g.window);
    if (!step(x, g, "KP_4", QRect(), 5000)) {
        stopAll();
        return;
    }
    for (int round = 0; round < kKeyRounds; ++round) {
        const bool last = round + 1 == kKeyRounds;
        for (Program& p : programs) {
            x.focus(p.window);
            x.pump(kFocusSettleMs);
            if (p.game && !step(x, p, "KP_0", commentary, 15000)) {   // count-down, then play
                stopAll();
                return;
            }
            if (!playKeys(x, p, setup.play, kPressesPerRound, 0, random))
                std::fprintf(stderr, "quennel_bench: no target to read\n");
            const qint64 cpu0 = processCpuNs(p.pid), wall0 = monotonicNs();
            playKeys(x, p, setup.play, 0, kPlayingMs / kKeyRounds, random);
            p.s->playingCpuNs += processCpuNs(p.pid) - cpu0;
            p.s->playingWallNs += monotonicNs() - wall0;
            if (!p.game)
                continue;
            // Give up, results, back to the title; then title -> play again.
            if (!(step(x, p, "Escape", commentary, 5000) && step(x, p, "KP_0", QRect(), 5000) &&
                  step(x, p, "KP_4", QRect(), 5000))) {
                stopAll();
                return;
            }
            if (last)
                break;
            x.pump(kTitleSettleMs);
            const unsigned long title = x.topWindow();
            const qint64 sent = x.press("KP_4");
            const qint64 shown = waitPainted(x, sent, title, 5000);
            x.release("KP_4");
            if (shown < 0) {
                stopAll();
                return;
            }
            game.laterSwitchMs.push_back(double(shown - sent) / 1e6);
            x.pump(100);
            g.window = x.topWindow();
        }
    }
    // The game is back at the title after the stages played.
    x.pump(kAfterPlayQuietMs);
    idleTogether(x, {&g}, &Samples::idleAfterPlayPct);
    stopAll();
}

// Starts the game on a broken tavo.dat and waits for its message: the time
// from exec until the message box is mapped, and the process's peak memory
// then (-1, -1 when no window came).
std::pair<double, long> judgeBrokenDataFile(XProbe& x, const ScreenBenchSetup& setup, const QByteArray& contents)
{
    const QString path = QDir(setup.gameDir).filePath(QStringLiteral("tavo.dat"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(contents) != contents.size())
        return {-1, -1};
    file.close();
    qint64 started = 0;
    const pid_t pid = x.launch(setup.gameBinary, setup.gameDir, &started);
    const bool shown = waitPainted(x, started, 0, 30000) >= 0;
    const double mappedMs = double(x.topMappedNs() - started) / 1e6;
    const long peakKb = processPeakRssKb(pid);
    x.stop(pid);
    return shown ? std::pair{mappedMs, peakKb} : std::pair{-1.0, -1L};
}

// The worst broken tavo.dat of each kind: 60 MB of line feeds, or one
// 60 MB line of あ, each ending in a broken Shift-JIS pair.
void benchBrokenDataFile(XProbe& x, const ScreenBenchSetup& setup, std::vector<Row>& rows)
{
    const QString path = QDir(setup.gameDir).filePath(QStringLiteral("tavo.dat"));
    QFile original(path);
    if (!original.open(QIODevice::ReadOnly))
        return;
    const QByteArray kept = original.readAll();
    original.close();
    const QByteArray brokenPair("\x82\x0A", 2);   // a first byte of a pair, then a line end
    const struct {
        const char* what;
        QByteArray contents;
    } cases[] = {
        {"60 Mi line feeds", QByteArray(kBrokenDataBytes - brokenPair.size(), '\n') + brokenPair},
        {"one line of あ", QByteArray("\x82\xA0").repeated((kBrokenDataBytes - brokenPair.size()) / 2) + brokenPair},
    };
    QStringList results;
    bool met = true;
    for (const auto& c : cases) {
        std::vector<double> times;
        long peakKb = 0;
        for (int run = 0; run < 3; ++run) {
            const auto [mappedMs, kb] = judgeBrokenDataFile(x, setup, c.contents);
            if (mappedMs < 0)
                break;
            times.push_back(mappedMs);
            peakKb = std::max(peakKb, kb);
        }
        met = met && times.size() == 3 && percentile(times, 100) <= kBrokenDataGoalMs && peakKb <= kBrokenDataGoalKb;
        results << (times.empty() ? QStringLiteral("%1: no message").arg(QString::fromUtf8(c.what))
                                  : QStringLiteral("%1: %2 to %3, peak %4 MB")
                                        .arg(QString::fromUtf8(c.what), ms(percentile(times, 0), 0),
                                             ms(percentile(times, 100), 0))
                                        .arg(double(peakKb) / 1024, 0, 'f', 1));
    }
    QFile restore(path);
    if (!restore.open(QIODevice::WriteOnly | QIODevice::Truncate) || restore.write(kept) != kept.size())
        std::fprintf(stderr, "quennel_bench: could not put tavo.dat back\n");
    rows.push_back({QStringLiteral("broken tavo.dat of 60 MB, fault in its last bytes: exec → message box mapped, "
                                   "peak VmHWM (3 runs each)"),
                    results.join(QStringLiteral("; ")),
                    QStringLiteral("≤ %1 and ≤ %2 MB each").arg(ms(kBrokenDataGoalMs, 0)).arg(kBrokenDataGoalKb / 1024),
                    met});
}

// The round-by-round ratio as the table shows it.
QString roundByRound(const std::vector<double>& a, const std::vector<double>& b)
{
    const std::optional<PairedRatio> r = pairedRatio(a, b);
    if (!r)
        return QStringLiteral("—");
    return QStringLiteral("%1, middle half %2–%3")
        .arg(r->median, 0, 'f', 2)
        .arg(r->firstQuartile, 0, 'f', 2)
        .arg(r->thirdQuartile, 0, 'f', 2);
}

// Medians of exec → window created → mapped → first damage, in ms.
QString startupStages(const Samples& s)
{
    return QStringLiteral("%1 → %2 → %3")
        .arg(median(s.createdMs), 0, 'f', 1)
        .arg(median(s.mappedMs), 0, 'f', 1)
        .arg(median(s.startupMs), 0, 'f', 1);
}
}  // namespace

void benchStartupAgainst(std::vector<Row>& rows, const ScreenBenchSetup& setup, const QString& other, int rounds)
{
    XProbe x;
    if (!x.open(setup.display))
        return;
    Samples qt, game, alt;
    std::fprintf(stderr, "quennel_bench: start-up against %s (%d rounds), load %s ...\n", qPrintable(other), rounds,
                 qPrintable(loadAverage()));
    for (int i = 0; i <= rounds; ++i) {
        inTurn(i, {[&](bool record) { launchOnce(x, setup.refQt, setup.gameDir, false, qt, record, kTitleSettleMs); },
                   [&](bool record) { launchOnce(x, setup.gameBinary, setup.gameDir, false, game, record, kTitleSettleMs); },
                   [&](bool record) { launchOnce(x, other, setup.gameDir, false, alt, record, kTitleSettleMs); }});
    }
    const double g = median(game.startupMs), a = median(alt.startupMs), q = median(qt.startupMs);
    rows.push_back({QStringLiteral("start-up: exec → title mapped and first painted, this build beside %1 (median of %2 rounds)")
                        .arg(other)
                        .arg(game.startupMs.size()),
                    QStringLiteral("%1 (max %2)").arg(ms(g), ms(percentile(game.startupMs, 100))),
                    QStringLiteral("the other %1 (max %2); bare Qt %3").arg(ms(a), ms(percentile(alt.startupMs, 100)), ms(q)),
                    QStringLiteral("÷ other %1 (round by round %2); ÷ Qt %3, other ÷ Qt %4")
                        .arg(ratio(g, a), roundByRound(game.startupMs, alt.startupMs), ratio(g, q), ratio(a, q)),
                    QStringLiteral("—"), false});
    rows.push_back({QStringLiteral("start-up's stages, this build beside %1: exec → its window created → mapped → first damage, ms (medians)")
                        .arg(other),
                    startupStages(game), QStringLiteral("the other %1; bare Qt %2").arg(startupStages(alt), startupStages(qt)),
                    QStringLiteral("—"), QStringLiteral("—"), false});
}

void benchThroughX(std::vector<Row>& rows, const ScreenBenchSetup& setup)
{
    XProbe x;
    if (!x.open(setup.display)) {
        rows.push_back({QStringLiteral("through the X server"),
                        QStringLiteral("no X display with XTEST and DAMAGE at %1").arg(setup.display),
                        QStringLiteral("—"), false});
        return;
    }
    Samples xlib, qt, qtText, game;
    std::fprintf(stderr, "quennel_bench: start-up under X (%d rounds), load %s ...\n", kStartupRuns,
                 qPrintable(loadAverage()));
    for (int i = 0; i <= kStartupRuns; ++i) {
        // Alternated, so all four see the same machine; the first round warms the caches.
        inTurn(i, {[&](bool record) { launchOnce(x, setup.refXlib, setup.gameDir, false, xlib, record, kTitleSettleMs); },
                   [&](bool record) { launchOnce(x, setup.refQt, setup.gameDir, false, qt, record, kTitleSettleMs); },
                   [&](bool record) { launchOnce(x, setup.refQtText, setup.gameDir, false, qtText, record, kTitleSettleMs); },
                   [&](bool record) {
                       launchOnce(x, setup.gameBinary, setup.gameDir, true, game, record, kTitleSettleMs);
                       launchOnce(x, setup.gameBinary, setup.gameDir, true, game, record, kEarlyKeyMs);
                   }});
    }
    std::fprintf(stderr, "quennel_bench: key presses under X (%d rounds), load %s ...\n", kKeyRounds,
                 qPrintable(loadAverage()));
    keyRounds(x, setup, game, qt, xlib);

    auto medianP99 = [](const std::vector<double>& v, const std::function<QString(double)>& f) {
        return QStringLiteral("median %1, p99 %2").arg(f(median(v)), f(percentile(v, 99)));
    };
    auto msec = [](double v) { return ms(v, 3); };

    const double start = median(game.startupMs), startQt = median(qt.startupMs);
    const double startQtText = median(qtText.startupMs);
    rows.push_back({QStringLiteral("start-up: exec → title mapped and first painted (median of %1 rounds)")
                        .arg(game.startupMs.size()),
                    QStringLiteral("%1 (max %2)").arg(ms(start), ms(percentile(game.startupMs, 100))),
                    QStringLiteral("bare Qt %1 (max %2); Qt label with a line of Japanese %3; Xlib %4")
                        .arg(ms(startQt), ms(percentile(qt.startupMs, 100)), ms(startQtText),
                             ms(median(xlib.startupMs))),
                    QStringLiteral("÷ Qt %1 (round by round %2); ÷ Qt with text %3")
                        .arg(ratio(start, startQt), roundByRound(game.startupMs, qt.startupMs), ratio(start, startQtText)),
                    QStringLiteral("≤ %1 × bare Qt").arg(kStartupGoalRatio, 0, 'f', 1),
                    !game.startupMs.empty() && start <= kStartupGoalRatio * startQt});
    rows.push_back({QStringLiteral("start-up's stages: exec → its window created → mapped → first damage, ms (medians)"),
                    startupStages(game),
                    QStringLiteral("bare Qt %1; Qt label with text %2").arg(startupStages(qt), startupStages(qtText)),
                    QStringLiteral("—"), QStringLiteral("—"), false});

    const double key = median(game.latencyMs), keyQt = median(qt.latencyMs), keyX = median(xlib.latencyMs);
    rows.push_back({QStringLiteral("key → pixels: XTEST press → first damage of the window (%1 hits, %2 "
                                   "with a clock tick left out)")
                        .arg(game.latencyMs.size())
                        .arg(game.dropped),
                    medianP99(game.latencyMs, msec),
                    QStringLiteral("Qt label %1; Xlib %2").arg(medianP99(qt.latencyMs, msec), medianP99(xlib.latencyMs, msec)),
                    QStringLiteral("median ÷ Xlib %1, ÷ Qt %2; p99 ÷ Qt %3")
                        .arg(ratio(key, keyX), ratio(key, keyQt),
                             ratio(percentile(game.latencyMs, 99), percentile(qt.latencyMs, 99))),
                    QStringLiteral("median ≤ %1 × Xlib and ≤ %2 × Qt label").arg(kKeyGoalXlib, 0, 'f', 0).arg(kKeyGoalQt, 0, 'f', 1),
                    !game.latencyMs.empty() && key <= kKeyGoalXlib * keyX && key <= kKeyGoalQt * keyQt});

    // Where a key changes more than one rectangle, the first is not the whole answer.
    rows.push_back({QStringLiteral("key → all its pixels: XTEST press → last damage of the window before it is quiet"),
                    medianP99(game.wholeMs, msec),
                    QStringLiteral("Qt label %1; Xlib %2").arg(medianP99(qt.wholeMs, msec), medianP99(xlib.wholeMs, msec)),
                    QStringLiteral("median ÷ Xlib %1, ÷ Qt %2")
                        .arg(ratio(median(game.wholeMs), median(xlib.wholeMs)), ratio(median(game.wholeMs), median(qt.wholeMs))),
                    QStringLiteral("—"), false});

    const double cpu = median(game.cpuUs), cpuQt = median(qt.cpuUs);
    rows.push_back({QStringLiteral("CPU time per key press, whole process, press → answer complete"),
                    medianP99(game.cpuUs, us),
                    QStringLiteral("Qt label %1; Xlib %2").arg(medianP99(qt.cpuUs, us), medianP99(xlib.cpuUs, us)),
                    QStringLiteral("median ÷ Qt %1; p99 ÷ Qt %2")
                        .arg(ratio(cpu, cpuQt), ratio(percentile(game.cpuUs, 99), percentile(qt.cpuUs, 99))),
                    QStringLiteral("median ≤ %1 × Qt label").arg(kCpuGoalRatio, 0, 'f', 1),
                    !game.cpuUs.empty() && cpu <= kCpuGoalRatio * cpuQt});

    auto rectCount = [](const std::vector<double>& v) {
        return QStringLiteral("median %1, max %2").arg(median(v), 0, 'f', 0).arg(percentile(v, 100), 0, 'f', 0);
    };
    rows.push_back({QStringLiteral("damage rectangles the X server sees per key press"),
                    rectCount(game.rects),
                    QStringLiteral("Qt label %1; Xlib %2").arg(rectCount(qt.rects), rectCount(xlib.rects)),
                    QStringLiteral("—"),
                    QStringLiteral("≤ %1").arg(kRectsGoal),
                    !game.rects.empty() && percentile(game.rects, 100) <= kRectsGoal});

    const double first = median(game.firstSwitchMs), early = median(game.earlySwitchMs);
    const double later = median(game.laterSwitchMs);
    rows.push_back({QStringLiteral("title → play: keypad 4 → play screen painted; first switch %1 ms or %2 ms after "
                                   "the title's first paint (median of %3 each), later switches (median of %4)")
                        .arg(kTitleSettleMs)
                        .arg(kEarlyKeyMs)
                        .arg(game.firstSwitchMs.size())
                        .arg(game.laterSwitchMs.size()),
                    QStringLiteral("first %1 (max %2), first at %3 ms %4 (max %5)")
                        .arg(ms(first, 2), ms(percentile(game.firstSwitchMs, 100), 2))
                        .arg(kEarlyKeyMs)
                        .arg(ms(early, 2), ms(percentile(game.earlySwitchMs, 100), 2)),
                    QStringLiteral("later switches %1").arg(ms(later, 2)),
                    QStringLiteral("first ÷ later %1, at %2 ms ÷ later %3").arg(ratio(first, later)).arg(kEarlyKeyMs).arg(ratio(early, later)),
                    QStringLiteral("≤ %1 × later").arg(kSwitchGoalRatio, 0, 'f', 0),
                    !game.firstSwitchMs.empty() && !game.earlySwitchMs.empty() && !game.laterSwitchMs.empty() &&
                        first <= kSwitchGoalRatio * later && early <= kSwitchGoalRatio * later});

    rows.push_back({QStringLiteral("CPU while playing, %1 keys/s for %2 s in %3 rounds, whole process")
                        .arg(kKeysPerSecond).arg(kPlayingMs / 1000).arg(kKeyRounds),
                    QStringLiteral("%1 of a core").arg(pct(game.playingPct())),
                    QStringLiteral("Qt label %1; Xlib %2").arg(pct(qt.playingPct()), pct(xlib.playingPct())),
                    QStringLiteral("÷ Qt %1").arg(ratio(game.playingPct(), qt.playingPct())),
                    QStringLiteral("≤ %1 × Qt label").arg(kPlayingGoalRatio, 0, 'f', 1),
                    game.playingPct() >= 0 && game.playingPct() <= kPlayingGoalRatio * qt.playingPct()});
    rows.push_back({QStringLiteral("idle CPU, title screen, the same %1 s for all, whole process").arg(kIdleMs / 1000),
                    QStringLiteral("%1 of a core").arg(pct(game.idlePct)),
                    QStringLiteral("Qt %1; Xlib %2").arg(pct(qt.idlePct), pct(xlib.idlePct)), QString(),
                    QStringLiteral("≤ 1 %"), game.idlePct >= 0 && game.idlePct <= 1.0});
    rows.push_back({QStringLiteral("idle CPU, title screen after played stages, %1 s from %2 s after the last key, whole process")
                        .arg(kIdleMs / 1000)
                        .arg(kAfterPlayQuietMs / 1000),
                    QStringLiteral("%1 of a core").arg(pct(game.idleAfterPlayPct)),
                    QStringLiteral("0.0 %"), game.idleAfterPlayPct >= 0 && game.idleAfterPlayPct < 0.05});
    const double rss = median(game.rssKb), rssQt = median(qt.rssKb);
    rows.push_back({QStringLiteral("memory: VmRSS at the title, %1 ms after its first paint").arg(kTitleSettleMs),
                    QStringLiteral("%1 KB").arg(rss, 0, 'f', 0),
                    QStringLiteral("bare Qt %1 KB; Xlib %2 KB").arg(rssQt, 0, 'f', 0).arg(median(xlib.rssKb), 0, 'f', 0),
                    QStringLiteral("÷ Qt %1").arg(ratio(rss, rssQt)),
                    QStringLiteral("≤ %1 × bare Qt").arg(kRssGoalRatio, 0, 'f', 1),
                    !game.rssKb.empty() && rss <= kRssGoalRatio * rssQt});
    std::fprintf(stderr, "quennel_bench: broken tavo.dat ...\n");
    benchBrokenDataFile(x, setup, rows);
    if (game.lost + qt.lost + xlib.lost > 0)
        std::fprintf(stderr, "quennel_bench: presses without an answer: game %d, Qt %d, Xlib %d\n", game.lost, qt.lost, xlib.lost);
}
