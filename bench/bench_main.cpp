// quennel_bench: how quickly the game answers a key, starts and switches
// screens as seen through an X server beside two reference programs; how
// much CPU and memory it takes; how soon a hit reaches the audio callback;
// whether the stage clock keeps time and memory stays flat, all in one run
// and printed as one table.
//
// Child mode (started by the benchmark itself):
//   --memory-child    starts the game in the working directory, plays fifteen
//                     stages and prints the resident size along the way.
#include "app/startup.h"
#include "bench/bench.h"
#include "bench/sound_probe.h"
#include "bench/xprobe.h"
#include "history/recorder.h"
#include "platform/files.h"
#include "platform/msgbox.h"
#include "platform/sound.h"
#include "platform/sound_player.h"
#include "platform/system.h"
#include "play/stage_play.h"
#include "screens/forms.h"
#include "state/module1.h"
#include "tools/common/game_folder.h"

#include <array>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <cstdlib>
#include <unistd.h>

#include <sys/resource.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

QString us(double v) { return QString::number(v, 'f', 0) + QStringLiteral(" µs"); }
QString ms(double v, int decimals) { return QString::number(v, 'f', decimals) + QStringLiteral(" ms"); }
QString pct(double v) { return QString::number(v, 'f', 1) + QStringLiteral(" %"); }
QString ratio(double a, double b) { return b > 0 ? QString::number(a / b, 'f', 2) : QStringLiteral("?"); }

QString loadAverage()
{
    QFile load(QStringLiteral("/proc/loadavg"));
    if (!load.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(load.readAll().split(' ').value(0));
}

namespace {

using Clock = std::chrono::steady_clock;

qint64 nowNs()
{
    // CLOCK_MONOTONIC: the same clock in the benchmark and its children.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}


long rssKb()
{
    return processRssKb(::getpid());
}


QString cpuModel()
{
    QFile info(QStringLiteral("/proc/cpuinfo"));
    if (info.open(QIODevice::ReadOnly))
        for (const QByteArray& line : info.readAll().split('\n'))
            if (line.startsWith("model name"))
                return QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
    return QStringLiteral("unknown CPU");
}

void keypad(QWidget* window, int digit)
{
    QTest::keyClick(window, Qt::Key(Qt::Key_0 + digit), Qt::KeypadModifier);
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// Message boxes answer OK and the program never really ends: a benchmark
// has nobody to click and must print its table.
void installQuietSeams()
{
    setMessageBoxHandler([](const MessageRequest& request) {
        std::fprintf(stderr, "quennel_bench: message box: %s\n", qPrintable(request.text));
        return MsgResult::OK;
    });
    setEndHandler([](int code) { std::fprintf(stderr, "quennel_bench: the game asked to end (%d)\n", code); });
}

// Opens the audio device as the game does; without a real device, SDL's
// dummy driver stands in (it consumes audio at the real rate).
QString openAudio(SoundPlayer& sounds)
{
    sounds.openDevice();
    if (!sounds.deviceOpen()) {
        sounds.closeDevice();
        qputenv("SDL_AUDIODRIVER", "dummy");   // the children inherit it
        sounds.openDevice();
    }
    auto currentDriver = reinterpret_cast<decltype(&SDL_GetCurrentAudioDriver)>(
        SoundProbe::realSdlFunction("SDL_GetCurrentAudioDriver"));
    const char* driver = currentDriver ? currentDriver() : nullptr;
    return sounds.deviceOpen() && driver ? QString::fromLatin1(driver) : QStringLiteral("none");
}

// The offscreen platform cannot raise windows and says so on every screen
// change, and a machine without a login session has no runtime folder;
// everything else Qt reports is passed on.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& text)
{
    if (text.contains(QLatin1String("does not support raise()")) ||
        text.contains(QLatin1String("XDG_RUNTIME_DIR not set")))
        return;
    std::fprintf(stderr, "%s%s\n", type >= QtWarningMsg ? "qt: " : "", qPrintable(text));
}


// Three games: the second is the first with a stage best to pace against,
// whose run it reads once; from the third on nothing new is kept.
constexpr int kMemoryStages = 15;

int memoryChild(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    installQuietSeams();
    SoundPlayer sounds;
    setSoundSink(&sounds);
    sounds.openDevice();
    createTitleWindow();
    if (!showTitle() || !finishStartUp())
        return 1;
    settle();
    const long atStart = rssKb();

    SilentSink silent;
    std::vector<long> afterStage, atTitle;
    keypad(form1, 4);
    settle();
    for (int played = 0; played < kMemoryStages;) {
        if (!form3->isVisible()) {
            std::fprintf(stderr, "quennel_bench: the play screen did not come up\n");
            return 1;
        }
        SoundSink* heard = setSoundSink(&silent);
        keypad(form3, 0);   // count-down, heard at once
        setSoundSink(heard);
        form3->Timer1->stop();   // the ticks below stand in for the clock
        for (int i = 0; i < 300; ++i) {
            keypad(form3, Module1.KeyQueue[0]);
            if (i % 25 == 0) {
                form3->repaint();
                settle();
            }
        }
        for (int i = 0; i < 30; ++i)
            stagePlay->Timer1_Timer();
        settle();
        keypad(form3, 0);   // results
        settle();
        ++played;
        afterStage.push_back(rssKb());
        keypad(form4, 4);   // next stage, final result or title
        settle();
        if (form5->isVisible()) {
            keypad(form5, 0);
            settle();
        }
        if (form1->isVisible()) {
            // Back on the title: the same state after every game.
            atTitle.push_back(rssKb());
            keypad(form1, 4);
            settle();
        }
    }
    settle();
    std::printf("rss %ld", atStart);
    for (long kb : afterStage)
        std::printf(" %ld", kb);
    std::printf(" %ld\ntitle", rssKb());
    for (long kb : atTitle)
        std::printf(" %ld", kb);
    std::printf("\n");
    std::fflush(stdout);
    std::_Exit(0);
}


// Starts this program in a child mode and returns its standard output, and
// the monotonic time just before the start.
std::optional<std::pair<qint64, QByteArray>> runChild(const QStringList& args, const QString& workDir)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.setWorkingDirectory(workDir);
    const qint64 started = nowNs();
    child.start(QCoreApplication::applicationFilePath(), args);
    if (!child.waitForFinished(30000)) {
        child.kill();
        child.waitForFinished();
        return std::nullopt;
    }
    const QByteArray err = child.readAllStandardError();
    if (!err.isEmpty())
        std::fprintf(stderr, "%s", err.constData());
    return std::make_pair(started, child.readAllStandardOutput());
}


// Sounds timed after a rest: each waits the two seconds the device takes to rest.
constexpr int kSoundRestTrials = 5;

// From s_play to the audio callback handing the device the first bytes of
// that sound, as the SDL observer sees it.
// The game's sound player, keeping a copy of each image start-up hands it:
// the latency rows compare the device's bytes with the hit sound's own.
class KeptSounds : public SoundPlayer {
public:
    void load(Sound sound, const QByteArray& wav) override
    {
        images_[std::size_t(soundIndex(sound))] = wav;
        SoundPlayer::load(sound, wav);
    }
    const QByteArray& image(Sound sound) const { return images_[std::size_t(soundIndex(sound))]; }

private:
    std::array<QByteArray, kSoundCount> images_;
};

void benchSoundLatency(std::vector<Row>& rows, const QString& driver, KeptSounds& sounds)
{
    SoundProbe probe;
    const std::optional<SDL_AudioSpec> format = probe.format();
    if (!sounds.deviceOpen() || !format) {
        rows.push_back({QStringLiteral("key to hit sound"),
                        sounds.deviceOpen() ? QStringLiteral("the SDL observer did not see the device open")
                                            : QStringLiteral("no audio device"),
                        QStringLiteral("≤ 2 periods"), false});
        return;
    }
    preloadSound(Sound::SoundHit);
    const QByteArray hit = sounds.image(Sound::SoundHit);
    // One hit sound: the milliseconds until the device took its first bytes.
    auto playOnce = [&] {
        probe.asked(hit);
        s_play(Sound::SoundHit, false);
        const auto deadline = Clock::now() + std::chrono::milliseconds(500);
        qint64 ns = -1;
        while ((ns = probe.startLatencyNs()) < 0 && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::microseconds(50));
        return ns >= 0 ? double(ns) / 1e6 : 500.0;
    };
    std::vector<double> latencyMs;
    const int trials = 150;
    for (int i = 0; i < trials + 5; ++i) {
        const double latency = playOnce();
        if (i >= 5)
            latencyMs.push_back(latency);
        // Presses fall at every phase of the device's period.
        std::this_thread::sleep_for(std::chrono::microseconds(4000 + (i * 1370) % 13000));
    }
    // The first sound after the device has rested, as after a pause at the title.
    std::vector<double> afterRestMs;
    for (int i = 0; i < kSoundRestTrials; ++i) {
        QElapsedTimer waited;
        waited.start();
        while (!probe.resting() && waited.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        if (!probe.resting())
            break;
        afterRestMs.push_back(playOnce());
    }
    if (probe.buffers() == 0)
        std::fprintf(stderr, "quennel_bench: the SDL observer saw no buffer reach the device\n");
    const qint64 periodFrames = format->samples;
    const int rate = format->freq;
    const double periodMs = rate > 0 ? 1000.0 * double(periodFrames) / rate : 0;
    const double p50 = median(latencyMs), p99 = percentile(latencyMs, 99), worst = percentile(latencyMs, 100);
    const double p99Periods = periodMs > 0 ? p99 / periodMs : 0;
    const double worstPeriods = periodMs > 0 ? worst / periodMs : 0;
    rows.push_back({QStringLiteral("key to hit sound, up to the audio callback taking its first bytes, not to the speaker (%1 presses, SDL driver %2)").arg(latencyMs.size()).arg(driver),
                    QStringLiteral("median %1, p99 %2 = %3 periods, max %4 = %5 periods (period %6 frames at %7 Hz = %8)")
                        .arg(ms(p50, 2), ms(p99, 2), QString::number(p99Periods, 'f', 2), ms(worst, 2),
                             QString::number(worstPeriods, 'f', 2))
                        .arg(periodFrames)
                        .arg(rate)
                        .arg(ms(periodMs, 2)),
                    QStringLiteral("p99 ≤ 2 periods, period ≤ 512 frames"),
                    periodFrames > 0 && periodFrames <= 512 && p99Periods <= 2.0});
    const double restWorst = percentile(afterRestMs, 100);
    const double restWorstPeriods = periodMs > 0 ? restWorst / periodMs : 0;
    rows.push_back({QStringLiteral("key to hit sound after the device has rested (%1 sounds, each after the 2 s rest)")
                        .arg(afterRestMs.size()),
                    QStringLiteral("median %1, max %2 = %3 periods")
                        .arg(ms(median(afterRestMs), 2), ms(restWorst, 2), QString::number(restWorstPeriods, 'f', 2)),
                    QStringLiteral("max ≤ 2 periods"),
                    int(afterRestMs.size()) == kSoundRestTrials && periodMs > 0 && restWorstPeriods <= 2.0});
}


void benchMemory(std::vector<Row>& rows, const QString& gameDir)
{
    const auto out = runChild({QStringLiteral("--memory-child")}, gameDir);
    const QList<QByteArray> lines = out ? out->second.trimmed().split('\n') : QList<QByteArray>{};
    const QList<QByteArray> parts = lines.value(0).trimmed().split(' ');
    const QList<QByteArray> titles = lines.value(1).trimmed().split(' ');
    if (parts.size() != kMemoryStages + 3 || parts[0] != "rss" || titles.size() != 4 || titles[0] != "title") {
        rows.push_back({QStringLiteral("memory"), QStringLiteral("the memory run did not report"),
                        QStringLiteral("no growth"), false});
        return;
    }
    std::vector<long> kb;   // start-up, after stages 1..15, at the end
    for (qsizetype i = 1; i < parts.size(); ++i)
        kb.push_back(parts[i].toLong());
    auto signedKb = [](long v) { return (v >= 0 ? QStringLiteral("+") : QString()) + QString::number(v) + QStringLiteral(" KB"); };
    QStringList trace;
    for (std::size_t i = 1; i <= kMemoryStages; ++i)
        trace << QString::number(kb[i]);
    const long start = kb[0], last = kb[kMemoryStages + 1];
    // Whole games end on the title screen in the same state: any difference
    // between the second's end and the third's is memory the third kept.
    const long gameOne = titles[1].toLong(), gameTwo = titles[2].toLong(), gameThree = titles[3].toLong();
    rows.push_back({QStringLiteral("memory: VmRSS after start-up → after 15 stages (three games)"),
                    QStringLiteral("%1 KB → %2 KB (%3); title after game 1 → 2 → 3: %4 → %5 → %6 KB (%7, then %8; "
                                   "the second game reads the best's run to pace against); after each stage: %9")
                        .arg(start)
                        .arg(last)
                        .arg(signedKb(last - start))
                        .arg(gameOne)
                        .arg(gameTwo)
                        .arg(gameThree)
                        .arg(signedKb(gameTwo - gameOne), signedKb(gameThree - gameTwo), trace.join(QStringLiteral(", "))),
                    QStringLiteral("no growth from game to game after the second (≤ 64 KB)"),
                    gameThree - gameTwo <= 64});
}


// Thirty real ticks of the stage clock, from the count-down's end to time-up.
void benchClock(std::vector<Row>& rows)
{
    std::vector<qint64> ticks;
    QEventLoop loop;
    const auto connection = QObject::connect(form3->Timer1, &QTimer::timeout, [&] {
        ticks.push_back(nowNs());
        if (ticks.size() >= std::size_t(kStageSeconds))
            loop.quit();
    });
    SilentSink silent;
    SoundSink* heard = setSoundSink(&silent);
    keypad(form3, 0);   // the count-down ends and the clock starts
    const qint64 t0 = nowNs();
    setSoundSink(heard);
    QTimer::singleShot(35000, &loop, &QEventLoop::quit);
    loop.exec();
    QObject::disconnect(connection);
    if (ticks.size() < std::size_t(kStageSeconds)) {
        rows.push_back({QStringLiteral("stage clock, 30 ticks of 999 ms"),
                        QStringLiteral("only %1 ticks").arg(ticks.size()), QStringLiteral("±30 ms"), false});
        return;
    }
    double worst = 0;
    for (std::size_t k = 0; k < ticks.size(); ++k) {
        const double deviation = double(ticks[k] - t0) / 1e6 - double(kClockTickMs) * double(k + 1);
        if (std::abs(deviation) > std::abs(worst))
            worst = deviation;
    }
    const double total = double(ticks.back() - t0) / 1e9;
    const double drift = (total - kStageSeconds * kClockTickMs / 1000.0) * 1000;
    rows.push_back({QStringLiteral("stage clock, 30 real ticks of 999 ms"),
                    QStringLiteral("total %1 s (%2%3 against 29.970 s), worst tick off by %4%5")
                        .arg(total, 0, 'f', 3)
                        .arg(drift >= 0 ? "+" : "")
                        .arg(ms(drift))
                        .arg(worst >= 0 ? "+" : "")
                        .arg(ms(worst)),
                    QStringLiteral("±30 ms, no drift"), std::abs(worst) <= 30 && std::abs(drift) <= 30});
}

// Ready to paste into the README: the machine and its load, then the table.
void printTable(const QString& machine, const std::vector<Row>& rows, qint64 began)
{
    std::printf("Machine: %s, %s at the end. Timings on a busy machine move from run to run; "
                "the ratios, from programs measured side by side in alternating rounds, move less.\n\n",
                qPrintable(machine), qPrintable(loadAverage()));
    std::printf("| measure | game | reference | ratio | goal | met? |\n|---|---|---|---|---|---|\n");
    const QString none = QStringLiteral("—");
    for (const Row& row : rows)
        std::printf("| %s | %s | %s | %s | %s | %s |\n", qPrintable(row.measure), qPrintable(row.game),
                    qPrintable(row.reference.isEmpty() ? none : row.reference),
                    qPrintable(row.ratio.isEmpty() ? none : row.ratio), qPrintable(row.goal),
                    row.goal == none ? "—" : (row.met ? "yes" : "**no**"));
    std::printf("\n(run took %.0f s)\n", double(nowNs() - began) / 1e9);
    std::fflush(stdout);
}

int parent(int argc, char** argv, const QString& gameSource, const QString& display, bool quick, bool xOnly,
           const QString& against, int againstRounds, const QString& gameBinary)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    const qint64 began = nowNs();

    QTemporaryDir temp;
    if (!temp.isValid() || !QFileInfo(QDir(gameSource).filePath(QStringLiteral("tavo.dat"))).isFile()) {
        std::fprintf(stderr, "quennel_bench: no game folder at %s\n", qPrintable(gameSource));
        return 2;
    }
    copyGameFolder(gameSource, temp.path());   // high scores written by the run stay there
    const QString gameDir = temp.path();

    // The observer stands in SDL's place before the game first loads SDL.
    QString observerError;
    if (!SoundProbe::install(&observerError)) {
        std::fprintf(stderr, "quennel_bench: %s\n", qPrintable(observerError));
        return 2;
    }
    KeptSounds sounds;
    setSoundSink(&sounds);
    const QString driver = openAudio(sounds);
    SDL_version sdl{};
    if (auto version = reinterpret_cast<decltype(&SDL_GetVersion)>(SoundProbe::realSdlFunction("SDL_GetVersion")))
        version(&sdl);
    const QString machine = QStringLiteral("%1, %2 cores; Qt %3 (platform %4); SDL %5.%6.%7 (audio driver %8); load average %9 at start")
                                .arg(cpuModel())
                                .arg(std::thread::hardware_concurrency())
                                .arg(QString::fromLatin1(qVersion()), QGuiApplication::platformName())
                                .arg(sdl.major)
                                .arg(sdl.minor)
                                .arg(sdl.patch)
                                .arg(driver)
                                .arg(loadAverage());
    std::fprintf(stderr, "quennel_bench: %s\n", qPrintable(machine));

    std::vector<Row> rows;
    // The game's windows, here only for the layout: where a key and a clock
    // tick change the play screen.
    QDir::setCurrent(gameDir);
    installQuietSeams();
    createWindows();
    ScreenBenchSetup screen;
    screen.display = display;
    screen.gameBinary = gameBinary;
    screen.refQt = QStringLiteral(QUENNEL_REF_QT);
    screen.refQtText = QStringLiteral(QUENNEL_REF_QT_TEXT);
    screen.refXlib = QStringLiteral(QUENNEL_REF_XLIB);
    screen.gameDir = gameDir;
    for (int k = 0; k < 3 * kKeyRows; ++k)
        screen.play.grid |= form3->Label1(k)->geometry();
    for (int c = 0; c < 3; ++c) {
        // Cell i + (digit % 3) x rows shows the digit of queue slot i.
        const int cell = c * kKeyRows;
        screen.play.bottomCells[c] = form3->Label1(cell)->geometry();
        screen.play.bottomResidue[c] = cell / kKeyRows;
    }
    screen.play.clockAreas[0] = QRect(0, 0, screen.play.grid.left(), form3->height());
    screen.play.clockAreas[1] = form3->Label8->geometry();
    if (!display.isEmpty()) {
        // The programs under test keep their settings out of the user's.
        qputenv("XDG_CONFIG_HOME", QDir(temp.path()).filePath(QStringLiteral(".config")).toLocal8Bit());
        QDir(temp.path()).mkdir(QStringLiteral(".runtime"));
        QFile::setPermissions(QDir(temp.path()).filePath(QStringLiteral(".runtime")),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QDir(temp.path()).filePath(QStringLiteral(".runtime")).toLocal8Bit());
        if (!against.isEmpty())
            benchStartupAgainst(rows, screen, against, againstRounds);
        else
            benchThroughX(rows, screen);
    }
    if (xOnly || !against.isEmpty()) {
        printTable(machine, rows, began);
        destroyWindows();
        setSoundSink(nullptr);
        return 0;
    }
    std::fprintf(stderr, "quennel_bench: memory ...\n");
    benchMemory(rows, gameDir);

    // The game itself, in this process, as the player starts it.
    if (!showTitle() || !finishStartUp()) {
        std::fprintf(stderr, "quennel_bench: the game did not start\n");
        return 2;
    }
    settle();
    std::fprintf(stderr, "quennel_bench: hit sound latency ...\n");
    benchSoundLatency(rows, driver, sounds);
    if (!quick) {
        std::fprintf(stderr, "quennel_bench: stage clock (30 s) ...\n");
        keypad(form1, 4);   // a fresh stage, normal mode
        settle();
        benchClock(rows);
    }

    printTable(machine, rows, began);

    // The stage played for the clock opened the play history; close it while
    // Qt's SQL connections still exist (they are gone by the time statics end).
    gameHistory().reset();
    destroyWindows();
    setSoundSink(nullptr);
    return 0;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Headless unless told otherwise: the numbers must not depend on a desktop.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(quietMessages);

    QString gameSource = QStringLiteral(QUENNEL_GAME_DIR);
    QString display;
    bool quick = false, xOnly = false;
    QString against;
    // Another build of the game measured instead, for a figure with and
    // without a change: the game folder and the rows stay the same.
    QString gameBinary = QStringLiteral(QUENNEL_GAME_BINARY);
    // Twenty rounds tell builds apart by about 5 %; a change of 2 or 3 %
    // wants a hundred or more.
    int againstRounds = 20;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--memory-child")
            return memoryChild(argc, argv);
        if (arg == "--quick")
            quick = true;
        else if (arg == "--x-only")
            xOnly = true;
        else if (arg == "--startup-against" && i + 1 < argc)
            against = QFileInfo(QString::fromLocal8Bit(argv[++i])).absoluteFilePath();  // the games start in their own folder
        else if (arg == "--rounds" && i + 1 < argc && std::atoi(argv[i + 1]) > 0)
            againstRounds = std::atoi(argv[++i]);
        else if (arg == "--game-binary" && i + 1 < argc)
            gameBinary = QFileInfo(QString::fromLocal8Bit(argv[++i])).absoluteFilePath();
        else if (arg == "--display" && i + 1 < argc)
            display = QString::fromLocal8Bit(argv[++i]);
        else if (arg == "--game" && i + 1 < argc)
            gameSource = QString::fromLocal8Bit(argv[++i]);
        else {
            std::fprintf(stderr, "usage: quennel_bench [--quick] [--x-only] [--startup-against <game binary> [--rounds <n>]] [--game <game folder>] [--game-binary <game>] [--display <Xvfb display>]\n");
            return 2;
        }
    }
    return parent(argc, argv, gameSource, display, quick, xOnly, against, againstRounds, gameBinary);
}
