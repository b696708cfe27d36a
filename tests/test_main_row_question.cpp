// Keyboards without a keypad: a main-row digit on the title, while only
// the keypad counts, asks once; the answer is remembered either way, and
// only choosing the keys on the command line lets the question come again.
#include "app/main_row_question.h"
#include "app/settings.h"
#include "platform/keys.h"
#include "screens/forms.h"
#include "support/game_fixture.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString kQuestion =
    QString::fromUtf8("テンキーがないキーボードで遊びますか？\r\n英字の上の数字キーで遊べるようにします。");

// The program as started again: the remembered answer and keys.
void restart()
{
    const GameSettings settings = loadSettings().values;
    setMainRowDigits(settings.mainRowDigits);
    setMainRowQuestionAnswered(settings.mainRowQuestionAnswered);
}
}  // namespace

class MainRowQuestionTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;

private slots:
    void initTestCase()
    {
        QVERIFY(config_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, config_.path());
    }
    void init()
    {
        QDir(config_.path()).removeRecursively();
        QDir().mkpath(config_.path());
    }
    void cleanup() { setMainRowDigits(false); }

    // Cancel: the digits stay off, no other digit asks again, not after a
    // new start either; --keypad-only lets the question come back.
    void cancelIsRememberedUntilTheKeysAreChosenAgain()
    {
        GameFixture f;
        f.writeFolder();
        QVERIFY(f.startUp());
        setMainRowQuestionAnswered(false);
        f.answers.push_back(MsgResult::Cancel);
        GameFixture::mainKeyboardDigit(form1, 4);
        QCOMPARE(int(f.messages.size()), 1);
        QCOMPARE(f.messages[0].text, kQuestion);
        QVERIFY(f.messages[0].buttons == MsgButtons::OKCancel);
        for (int d = 0; d <= 9; ++d)
            GameFixture::mainKeyboardDigit(form1, d);
        QCOMPARE(int(f.messages.size()), 1);
        QVERIFY(!mainRowDigits());
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});

        restart();
        GameFixture::mainKeyboardDigit(form1, 7);
        QCOMPARE(int(f.messages.size()), 1);

        QVERIFY(rememberMainRowDigits(loadSettings(), false));   // --keypad-only
        restart();
        f.answers.push_back(MsgResult::Cancel);
        GameFixture::mainKeyboardDigit(form1, 2);
        QCOMPARE(int(f.messages.size()), 2);
    }

    // OK: the main-row digits count from the next key on, and on later
    // starts, as --main-row-digits makes them.
    void okTurnsTheMainRowDigitsOn()
    {
        GameFixture f;
        f.writeFolder();
        QVERIFY(f.startUp());
        setMainRowQuestionAnswered(false);
        GameFixture::mainKeyboardDigit(form1, 6);
        QCOMPARE(int(f.messages.size()), 1);
        QVERIFY(mainRowDigits());
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
        setMainRowDigits(false);
        restart();
        QVERIFY(mainRowDigits());
        GameFixture::mainKeyboardDigit(form1, 4);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
        QCOMPARE(int(f.messages.size()), 1);
    }

    // Keypad keys never ask, nor do main-row digits on other screens or
    // while they count already.
    void onlyTheTitleAsksAndOnlyWhileTheKeypadAloneCounts()
    {
        GameFixture f;
        f.writeFolder();
        QVERIFY(f.startUp());
        setMainRowQuestionAnswered(false);
        setMainRowDigits(true);
        GameFixture::mainKeyboardDigit(form1, 1);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form8"});
        GameFixture::keypad(form8, 0);
        setMainRowDigits(false);
        for (int d : {0, 5, 7, 9})  // (8 opens 数字入力)
            GameFixture::keypad(form1, d);
        GameFixture::keypad(form1, 4);
        for (int d = 1; d <= 9; ++d)
            GameFixture::mainKeyboardDigit(form3, d);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
        QVERIFY(f.messages.empty());
    }
};

QTEST_MAIN(MainRowQuestionTest)
#include "test_main_row_question.moc"
