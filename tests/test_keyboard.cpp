// Keys from any keyboard: a keypad key counts as its digit whatever the
// NumLock state, on every screen; the digits above the letters count only
// when the player asked for them.
#include "state/module1.h"
#include "platform/keys.h"
#include "screens/forms.h"
#include "support/game_fixture.h"

#include <QApplication>
#include <QSet>
#include <QTest>

namespace {
// With NumLock off the keypad sends the key printed under each digit.
const Qt::Key kNumLockOff[10] = {Qt::Key_Insert, Qt::Key_End,   Qt::Key_Down, Qt::Key_PageDown,
                                 Qt::Key_Left,   Qt::Key_Clear, Qt::Key_Right, Qt::Key_Home,
                                 Qt::Key_Up,     Qt::Key_PageUp};

void numLockOff(QWidget* window, int digit)
{
    QTest::keyClick(window, kNumLockOff[digit], Qt::KeypadModifier);
}

// A key as Wayland delivers it: the keysym, but no keypad flag from Qt.
void sendKeysym(QWidget* window, Qt::Key key, quint32 keysym)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, 0, keysym, 0);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, 0, keysym, 0);
    QApplication::sendEvent(window, &press);
    QApplication::sendEvent(window, &release);
}

void keysymNumLockOn(QWidget* window, int digit)
{
    sendKeysym(window, Qt::Key(Qt::Key_0 + digit), 0xffb0 + digit);   // KP_0 ..
}

void keysymNumLockOff(QWidget* window, int digit)
{
    // KP_Insert, KP_End, KP_Down, KP_Next, KP_Left, KP_Begin, KP_Right,
    // KP_Home, KP_Up, KP_Prior
    const quint32 keysyms[10] = {0xff9e, 0xff9c, 0xff99, 0xff9b, 0xff96,
                                 0xff9d, 0xff98, 0xff95, 0xff97, 0xff9a};
    sendKeysym(window, kNumLockOff[digit], keysyms[digit]);
}

using Press = void (*)(QWidget*, int);

// Title -> play -> a stage with ten hits -> results -> log -> results,
// then high scores -> title, all with one kind of key press.
void playThrough(GameFixture& f, Press press)
{
    press(form1, 4);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
    press(form3, 0);
    QCOMPARE(Module1.PlayActive, 1);
    for (int i = 0; i < 10; ++i)
        press(form3, Module1.KeyQueue[0]);
    QCOMPARE(Module1.StageScore, 1 + 2 + 3 + 5 + 7 + 10 + 14 + 19 + 24 + 30);
    const std::size_t sounds = f.sounds.played.size();
    press(form3, Module1.KeyQueue[0] == 1 ? 2 : 1);
    QCOMPARE(Module1.GaugeLevel, 0.0);
    QCOMPARE(f.sounds.played.size(), sounds + 1);
    GameFixture::tickClock(30);
    QCOMPARE(Module1.PlayOver, 1);
    press(form3, 0);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form4"});
    press(form4, 6);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form6"});
    press(form6, 1);
    QCOMPARE(Module1.LogScrollPos, 1);
    press(form6, 4);
    QCOMPARE(Module1.LogScrollPos, 0);
    press(form6, 0);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form4"});
    press(form4, 4);   // quota missed: back to the title
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
    press(form1, 1);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form8"});
    press(form8, 0);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
}

TestGameData hardQuota()
{
    TestGameData data;
    data.quotas = {"9000", "9000", "9000", "9000", "9000"};
    return data;
}
}  // namespace

class KeyboardTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setMainRowDigits(false); }

    // NumLock off: Insert, End, Down, ... from the keypad are 0, 1, 2, ...
    // everywhere a keypad digit counts.
    void keypadCountsWithNumLockOff()
    {
        GameFixture f;
        f.writeFolder(hardQuota());
        QVERIFY(f.startUp());
        playThrough(f, numLockOff);
        QVERIFY(f.messages.empty());
    }

    // A keypad known only by its keysym (Wayland) plays the whole way, with
    // NumLock on and off.
    void keypadByKeysymAlone()
    {
        for (Press press : {keysymNumLockOn, keysymNumLockOff}) {
            GameFixture f;
            f.writeFolder(hardQuota());
            QVERIFY(f.startUp());
            playThrough(f, press);
            QVERIFY(f.messages.empty());
        }
    }

    // A keysym off the keypad wins over a keypad flag: the main row's 4 and
    // the arrow keys stay what they are.
    void keysymOffTheKeypadIsNoKeypadDigit()
    {
        QKeyEvent mainRow4(QEvent::KeyPress, Qt::Key_4, Qt::KeypadModifier, 0, 0x34, 0);
        QKeyEvent arrowLeft(QEvent::KeyPress, Qt::Key_Left, Qt::KeypadModifier, 0, 0xff51, 0);
        QKeyEvent pageUp(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier, 0, 0xff55, 0);
        QCOMPARE(virtualKeyCode(&mainRow4), vk::Digit0 + 4);
        QCOMPARE(virtualKeyCode(&arrowLeft), vk::None);
        QCOMPARE(virtualKeyCode(&pageUp), vk::PageUp);
    }

    // Every keypad digit 1-9 strikes its target during play, with NumLock on
    // and off: in a stage of key range 9 the targets run through all nine.
    void everyDigitStrikesItsTarget()
    {
        for (const Press press : {Press(GameFixture::keypad), Press(numLockOff)}) {
            GameFixture f;
            TestGameData data;
            data.keyRanges = {"9", "9", "9", "9", "9"};
            QVERIFY(f.beginGame(data));
            press(form3, 0);
            QSet<int> struck;
            for (int k = 0; k < 18; ++k) {
                const int target = Module1.KeyQueue[0];
                const int score = Module1.StageScore;
                press(form3, target);
                QVERIFY2(Module1.StageScore > score, qPrintable(QStringLiteral("digit %1").arg(target)));
                struck.insert(target);
            }
            QCOMPARE(struck.size(), 9);
        }
    }

    // The same navigation keys off the keypad, and the real Page Up / Page
    // Down, keep their own meaning: they are no digits.
    void navigationKeysOffTheKeypadAreNoDigits()
    {
        GameFixture f;
        f.writeFolder();
        QVERIFY(f.startUp());
        for (Qt::Key key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_End, Qt::Key_Home, Qt::Key_Clear})
            QTest::keyClick(form1, key);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
        GameFixture::keypad(form1, 4);
        QTest::keyClick(form3, Qt::Key_Insert);
        QCOMPARE(Module1.PlayActive, 0);

        QKeyEvent pageUp(QEvent::KeyPress, Qt::Key_PageUp, Qt::NoModifier);
        QKeyEvent keypadPageUp(QEvent::KeyPress, Qt::Key_PageUp, Qt::KeypadModifier);
        QCOMPARE(virtualKeyCode(&pageUp), vk::PageUp);
        QCOMPARE(virtualKeyCode(&keypadPageUp), vk::Numpad9);
    }

    // With the choice on, the main-row digits play the whole way; with it
    // off they do nothing, on the title screen as elsewhere.
    void mainRowDigitsOnlyWhenChosen()
    {
        GameFixture f;
        f.writeFolder(hardQuota());
        QVERIFY(f.startUp());
        for (int d = 0; d <= 9; ++d)
            GameFixture::mainKeyboardDigit(form1, d);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
        QVERIFY(f.messages.empty());

        setMainRowDigits(true);
        playThrough(f, GameFixture::mainKeyboardDigit);
        // Keypad keys still count beside them.
        GameFixture::keypad(form1, 4);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
    }
};

QTEST_MAIN(KeyboardTest)
#include "test_keyboard.moc"
