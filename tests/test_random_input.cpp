// Random play: tens of thousands of random keys, close-box clicks and clock
// ticks sent to whichever game window is showing, with quit questions
// answered Cancel (now and then OK, in a child process) and score saves
// made to fail now and then. After each event the game must still be in a
// sane state, no stored best may ever go down, and memory must not grow
// with the stages played.
//
// QUENNEL_RANDOM_EVENTS sets the number of events (default 50000; the
// sanitizer run uses fewer), QUENNEL_RANDOM_SEED the seed (default fixed, so
// a failure reproduces; the failing event number and seed are reported).
#include "play/stage_play.h"
#include "platform/system.h"
#include "play/entry_play.h"
#include "screens/entry_result.h"
#include "screens/entry_window.h"
#include "screens/forms.h"
#include "screens/practice_result.h"
#include "screens/progress_window.h"
#include "state/module1.h"
#include "support/game_fixture.h"

#include <QCoreApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <map>
#include <random>

#include <dlfcn.h>
#include <malloc.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Counts the sounds and keeps nothing: the run plays thousands of them.
class CountingSink : public SoundSink {
public:
    void play(Sound, bool) override { ++count; }
    long count = 0;
};

// Caches (fonts, glyphs, pictures drawn once) fill in the first events; after
// that the heap may move a little, but must not grow with the stages played
// by more than a trace (window-system events left waiting used to add well
// over a kilobyte a stage). Since keypad 5 on a lost game's results starts
// the next game at once, the walk plays about twice the games per stage it
// did, and each game start leaves some hundreds of bytes more: 768.
constexpr qint64 kHeapBytesPerStage = 768;

int envNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

// The offscreen platform warns on every window shown; thousands of screen
// changes would bury the test's own output.
QtMessageHandler previousHandler = nullptr;
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (text.contains(QLatin1String("does not support raise()")))
        return;
    previousHandler(type, context, text);
}

GameWindow* windowNamed(const QString& name)
{
    if (name == QLatin1String("Form1")) return form1;
    if (name == QLatin1String("Form3")) return form3;
    if (name == QLatin1String("Form4")) return form4;
    if (name == QLatin1String("Form5")) return form5;
    if (name == QLatin1String("Form6")) return form6;
    if (name == QLatin1String("Form8")) return form8;
    if (name == QLatin1String("Progress")) return progressWindow;
    if (name == QLatin1String("Practice")) return practiceResultWindow;
    if (name == QLatin1String("Entry")) return entryWindow;
    if (name == QLatin1String("EntryResult")) return entryResultWindow;
    return nullptr;
}

// Heap in use by the program, less what SQLite holds for the play history:
// SQLite keeps a page cache of its own that fills up to its set size as the
// history grows, which is not the game keeping memory.
qint64 heapInUse()
{
    using MemoryUsed = long long (*)();
    static const auto sqliteUsed = [] {
        void* lib = ::dlopen("libsqlite3.so.0", RTLD_NOW | RTLD_NOLOAD);
        return lib ? reinterpret_cast<MemoryUsed>(::dlsym(lib, "sqlite3_memory_used")) : nullptr;
    }();
    const qint64 heap = qint64(::mallinfo2().uordblks);
    return heap - (sqliteUsed ? qint64(sqliteUsed()) : 0);
}

// What the event loop would have handled by now: posted events and the
// window system's (shown, hidden, exposed). The stage clock is held while
// doing so: its ticks come from the test's own random choices.
void takeWaitingEvents()
{
    const bool clockRunning = form3->Timer1->isActive();
    form3->Timer1->stop();
    QCoreApplication::processEvents();
    if (clockRunning)
        form3->Timer1->start();
}

}  // namespace

class RandomInputTest : public QObject {
    Q_OBJECT

private slots:
    void randomPlayKeepsTheGameSane();
};

// Whatever the player presses, one game window shows, the stage and score
// slot stay in range, no quit happens after Cancel, OK on the quit question
// ends the game without writing anything, a failed save costs no stored
// best, the score file stays a valid table that a save makes equal to the
// best scores in memory, and the heap does not grow with the stages.
void RandomInputTest::randomPlayKeepsTheGameSane()
{
    const int events = envNumber("QUENNEL_RANDOM_EVENTS", 50000);
    const int seed = envNumber("QUENNEL_RANDOM_SEED", 20010818);
    std::mt19937 rng(static_cast<std::mt19937::result_type>(seed));
    auto chance = [&rng](double p) { return std::uniform_real_distribution<double>(0.0, 1.0)(rng) < p; };
    auto pick = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };

    // Declared before the fixture: its end (closing the windows) may still
    // play a sound or ask a question.
    CountingSink sink;
    long quitQuestions = 0;
    std::mt19937 gameRng(static_cast<std::mt19937::result_type>(seed) ^ 0x5eedu);

    GameFixture f;
    TestGameData data;
    // Low quotas, so that random keys clear stages now and then and the
    // whole road (results, final screen, log, high scores) gets walked.
    data.keyRanges = {"3", "3", "3", "4", "5"};
    data.quotas = {"1", "1", "2", "2", "2"};
    f.writeFolder(data);

    setSoundSink(&sink);
    // Now and then a quit question is answered OK in a child process, which
    // then checks that the game ended and saved nothing on the way out; the
    // game here goes on as after Cancel.
    bool inChild = false;
    long okChildren = 0;
    long childFailures = 0;
    long failedSaves = 0;
    setMessageBoxHandler([&](const MessageRequest& request) {
        if (request.buttons == MsgButtons::OK) {
            if (request.text.contains(QStringLiteral("tavo_s.dat")))
                ++failedSaves;
            return MsgResult::OK;
        }
        ++quitQuestions;
        if (!inChild && chance(0.05)) {
            std::fflush(nullptr);
            const pid_t child = ::fork();
            if (child == 0) {
                inChild = true;
                return MsgResult::OK;
            }
            int status = -1;
            ::waitpid(child, &status, 0);
            if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
                ++childFailures;
            ++okChildren;
        }
        return MsgResult::Cancel;
    });
    // The game's own random numbers come from the same seeded generator.
    setRandomSource([&gameRng] { return std::uniform_real_distribution<double>(0.0, 1.0)(gameRng); });

    previousHandler = qInstallMessageHandler(quietHandler);
    struct Restore {
        ~Restore() { qInstallMessageHandler(previousHandler); }
    } restore;
    // 数字入力 remembers the length chosen: here, not in the account's settings.
    QTemporaryDir config;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config.path());
    QVERIFY(f.startUp());
    // One 数字入力 test taken first, so that its screens' first drawings
    // (large digits in several sizes) are not taken for growth later.
    GameFixture::keypad(form1, 8);
    GameFixture::keypad(entryWindow, 1);
    GameFixture::keypad(entryWindow, 0);
    for (int d = 0; d <= 9; ++d)
        GameFixture::keypad(entryWindow, d);
    QTest::keyClick(entryWindow, Qt::Key_Enter, Qt::KeypadModifier);
    for (int s = 0; s < 60; ++s)
        entryPlay().tick();
    GameFixture::keypad(entryWindow, 0);
    entryResultWindow->grab();
    GameFixture::keypad(entryResultWindow, 0);
    takeWaitingEvents();
    QVERIFY2(GameFixture::visibleScreens() == QStringList{QStringLiteral("Form1")},
             qPrintable(GameFixture::visibleScreens().join(u',')));

    std::map<QString, long> visits;
    long ticks = 0;
    long stages = 0;
    long stagesAtWarm = 0;
    qint64 heapAtWarm = 0;
    const int warmUp = events / 2;
    bool failing = false;   // tavo_s.dat is a folder for now: saves fail
    QByteArray lastFile = f.readFile(QStringLiteral("tavo_s.dat"));
    ScoreTable storedSeen = parseScores(lastFile);
    QString lastEvent;
    for (int n = 1; n <= events; ++n) {
        // Saves fail for a while now and then; the table comes back as it was.
        if (chance(0.002)) {
            failing = !failing;
            QDir folder(f.path());
            if (failing) {
                QVERIFY(folder.remove(QStringLiteral("tavo_s.dat")));
                QVERIFY(folder.mkdir(QStringLiteral("tavo_s.dat")));
            } else {
                QVERIFY(folder.rmdir(QStringLiteral("tavo_s.dat")));
                f.writeFile(QStringLiteral("tavo_s.dat"), lastFile);
            }
        }
        const bool resultsBefore = form4->isVisible();
        const QStringList shown = GameFixture::visibleScreens();
        QCOMPARE(shown.size(), 1);
        GameWindow* window = windowNamed(shown.first());
        QVERIFY2(window, qPrintable(shown.first()));
        ++visits[shown.first()];

        if (form3->Timer1->isActive() && chance(0.3)) {
            lastEvent = QStringLiteral("clock tick");
            stagePlay->Timer1_Timer();
            ++ticks;
        } else if (entryPlay().timer() && entryPlay().timer()->isActive() && chance(0.9)) {
            // A test runs a minute or more: its clock goes faster here, so
            // the walk spends its time on every screen, not mostly on it.
            lastEvent = QStringLiteral("数字入力 clock tick");
            entryPlay().tick();
            ++ticks;
        } else {
            const int kind = pick(1000);
            if (kind < 720) {
                const int digit = pick(10);
                lastEvent = QStringLiteral("keypad %1 on %2").arg(digit).arg(shown.first());
                GameFixture::keypad(window, digit);
            } else if (kind < 820) {
                const int digit = pick(10);
                lastEvent = QStringLiteral("main keyboard %1 on %2").arg(digit).arg(shown.first());
                GameFixture::mainKeyboardDigit(window, digit);
            } else if (kind < 822) {
                lastEvent = QStringLiteral("Esc on %1").arg(shown.first());
                GameFixture::escape(window);
            } else if (kind < 827) {
                lastEvent = QStringLiteral("close box on %1").arg(shown.first());
                window->close();
            } else if (kind < 917) {
                lastEvent = QStringLiteral("Page Up on %1").arg(shown.first());
                QTest::keyClick(window, Qt::Key_PageUp);
            } else {
                lastEvent = QStringLiteral("Page Down on %1").arg(shown.first());
                QTest::keyClick(window, Qt::Key_PageDown);
            }
        }
        if (inChild) {
            // OK on the quit question: the game asked to end, once, and
            // wrote nothing on the way out.
            const bool ended = f.endRequests.size() == 1 && f.endRequests.front() == 0;
            const bool untouched = failing || f.readFile(QStringLiteral("tavo_s.dat")) == lastFile;
            std::fflush(nullptr);
            ::_exit(ended && untouched ? 0 : 1);
        }
        if (!resultsBefore && form4->isVisible() && form3->isHidden() && GameFixture::visibleScreens() == QStringList{"Form4"})
            ++stages;
        // Let the windows paint now and then, and take the window system's
        // events, as the event loop would: left waiting, those pile up with
        // every change of screen.
        if (n % 100 == 0)
            takeWaitingEvents();
        if (n == warmUp) {
            heapAtWarm = heapInUse();
            stagesAtWarm = stages;
        }

        const QString where = QStringLiteral("event %1 (%2), seed %3").arg(n).arg(lastEvent).arg(seed);
        QVERIFY2(GameFixture::visibleScreens().size() == 1,
                 qPrintable(where + QStringLiteral(": visible ") + GameFixture::visibleScreens().join(u',')));
        QVERIFY2(Module1.Stage >= 0 && Module1.Stage <= 5, qPrintable(where));
        QVERIFY2(Module1.ScoreSlotBase == 0 || Module1.ScoreSlotBase == 6, qPrintable(where));
        QVERIFY2(Module1.ScoreSlotBase + Module1.Stage >= 0 && Module1.ScoreSlotBase + Module1.Stage <= 11,
                 qPrintable(where));
        QVERIFY2(f.endRequests.empty(), qPrintable(where + QStringLiteral(": the program ended after Cancel")));
        if (failing)
            continue;
        // The score file is tiny; read it after every event. A save makes it
        // the best scores in memory; whatever happens, no stored best goes
        // down and none is above the one in memory.
        const QByteArray file = f.readFile(QStringLiteral("tavo_s.dat"));
        ScoreTable stored{};
        try {
            stored = parseScores(file);
        } catch (const DataFileError& e) {
            QFAIL(qPrintable(where + QStringLiteral(": ") + e.message()));
        }
        if (file != lastFile)
            QVERIFY2(file == formatScores(Module1.HighScores),
                     qPrintable(where + QStringLiteral(": the saved table differs from the best scores in memory")));
        for (std::size_t i = 0; i < stored.size(); ++i) {
            QVERIFY2(stored[i] >= storedSeen[i],
                     qPrintable(where + QStringLiteral(": stored best %1 went down from %2 to %3")
                                           .arg(i).arg(storedSeen[i]).arg(stored[i])));
            QVERIFY2(stored[i] <= Module1.HighScores[i],
                     qPrintable(where + QStringLiteral(": stored best %1 above the one in memory").arg(i)));
        }
        storedSeen = stored;
        lastFile = file;
    }
    takeWaitingEvents();
    const qint64 heapGrowth = heapInUse() - heapAtWarm;
    const long stagesMeasured = stages - stagesAtWarm;

    // The run walked the whole game, not one corner of it.
    for (const char* name : {"Form1", "Form3", "Form4", "Form5", "Form6", "Form8", "Progress", "Entry"})
        QVERIFY2(visits[QString::fromLatin1(name)] > 0, name);
    QVERIFY(ticks > 0);
    QVERIFY(quitQuestions > 0);
    QCOMPARE(childFailures, 0L);
    QVERIFY(okChildren > 0);
    QVERIFY(failedSaves > 0);
    qInfo("heap %+lld bytes over %ld stages after the first %d events; %ld OK answers, %ld failed saves",
          heapGrowth, stagesMeasured, warmUp, okChildren, failedSaves);
    QVERIFY(stagesMeasured >= 20);
#if !defined(__SANITIZE_ADDRESS__)   // the sanitizer's allocator keeps its own books
    QVERIFY2(heapGrowth <= kHeapBytesPerStage * stagesMeasured,
             qPrintable(QStringLiteral("the heap grew by %1 bytes over %2 stages").arg(heapGrowth).arg(stagesMeasured)));
#endif
    QVERIFY(sink.count > 0);
    qInfo("%d events: %ld ticks, %ld quit questions, %ld sounds; screens 1:%ld 3:%ld 4:%ld 5:%ld 6:%ld 8:%ld",
          events, ticks, quitQuestions, sink.count, visits[QStringLiteral("Form1")], visits[QStringLiteral("Form3")],
          visits[QStringLiteral("Form4")], visits[QStringLiteral("Form5")], visits[QStringLiteral("Form6")],
          visits[QStringLiteral("Form8")]);
}

QTEST_MAIN(RandomInputTest)
#include "test_random_input.moc"
