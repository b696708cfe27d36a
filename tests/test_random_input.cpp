// Random play: tens of thousands of random keys, close-box clicks and clock
// ticks sent to whichever game window is showing, with every quit question
// answered Cancel. After each event the game must still be in a sane state.
//
// QUENNEL_RANDOM_EVENTS sets the number of events (default 50000; the
// sanitizer run uses fewer), QUENNEL_RANDOM_SEED the seed (default fixed, so
// a failure reproduces; the failing event number and seed are reported).
#include "platform/system.h"
#include "screens/forms.h"
#include "screens/progress_window.h"
#include "state/module1.h"
#include "support/game_fixture.h"

#include <QCoreApplication>
#include <QTimer>
#include <QtTest>

#include <map>
#include <random>

namespace {

// Counts the sounds and keeps nothing: the run plays thousands of them.
class CountingSink : public SoundSink {
public:
    void play(Sound, bool) override { ++count; }
    long count = 0;
};

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
    return nullptr;
}

}  // namespace

class RandomInputTest : public QObject {
    Q_OBJECT

private slots:
    void randomPlayKeepsTheGameSane();
};

// Whatever the player presses, one game window shows, the stage and score
// slot stay in range, no quit happens after Cancel and the score file stays
// a valid table holding exactly the best scores in memory.
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
    setMessageBoxHandler([&](const MessageRequest& request) {
        if (request.buttons == MsgButtons::OK)
            return MsgResult::OK;
        ++quitQuestions;
        return MsgResult::Cancel;
    });
    // The game's own random numbers come from the same seeded generator.
    setRandomSource([&gameRng] { return std::uniform_real_distribution<double>(0.0, 1.0)(gameRng); });

    previousHandler = qInstallMessageHandler(quietHandler);
    struct Restore {
        ~Restore() { qInstallMessageHandler(previousHandler); }
    } restore;
    QVERIFY(f.startUp());

    std::map<QString, long> visits;
    long ticks = 0;
    QString lastEvent;
    for (int n = 1; n <= events; ++n) {
        const QStringList shown = GameFixture::visibleScreens();
        QCOMPARE(shown.size(), 1);
        GameWindow* window = windowNamed(shown.first());
        QVERIFY(window);
        ++visits[shown.first()];

        if (form3->Timer1->isActive() && chance(0.3)) {
            lastEvent = QStringLiteral("clock tick");
            form3->Timer1_Timer();
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
        // Let the windows paint now and then, as the event loop would.
        if (n % 100 == 0)
            QCoreApplication::sendPostedEvents();

        const QString where = QStringLiteral("event %1 (%2), seed %3").arg(n).arg(lastEvent).arg(seed);
        QVERIFY2(GameFixture::visibleScreens().size() == 1,
                 qPrintable(where + QStringLiteral(": visible ") + GameFixture::visibleScreens().join(u',')));
        QVERIFY2(Module1.Stage >= 0 && Module1.Stage <= 5, qPrintable(where));
        QVERIFY2(Module1.ScoreSlotBase == 0 || Module1.ScoreSlotBase == 6, qPrintable(where));
        QVERIFY2(Module1.ScoreSlotBase + Module1.Stage >= 0 && Module1.ScoreSlotBase + Module1.Stage <= 11,
                 qPrintable(where));
        QVERIFY2(f.endRequests.empty(), qPrintable(where + QStringLiteral(": the program ended after Cancel")));
        // The score file is tiny; read it after every event.
        const QByteArray file = f.readFile(QStringLiteral("tavo_s.dat"));
        try {
            (void)parseScores(file);
        } catch (const DataFileError& e) {
            QFAIL(qPrintable(where + QStringLiteral(": ") + e.message()));
        }
        QVERIFY2(file == formatScores(Module1.HighScores),
                 qPrintable(where + QStringLiteral(": the score file differs from the best scores in memory")));
    }

    // The run walked the whole game, not one corner of it.
    for (const char* name : {"Form1", "Form3", "Form4", "Form5", "Form6", "Form8", "Progress"})
        QVERIFY2(visits[QString::fromLatin1(name)] > 0, name);
    QVERIFY(ticks > 0);
    QVERIFY(quitQuestions > 0);
    QVERIFY(sink.count > 0);
    qInfo("%d events: %ld ticks, %ld quit questions, %ld sounds; screens 1:%ld 3:%ld 4:%ld 5:%ld 6:%ld 8:%ld",
          events, ticks, quitQuestions, sink.count, visits[QStringLiteral("Form1")], visits[QStringLiteral("Form3")],
          visits[QStringLiteral("Form4")], visits[QStringLiteral("Form5")], visits[QStringLiteral("Form6")],
          visits[QStringLiteral("Form8")]);
}

QTEST_MAIN(RandomInputTest)
#include "test_random_input.moc"
