// The results screen and what keypad 4 leads to, the final result and
// high-score screens, and the commentary log, driven by keys as a player
// would drive them.
#include "history/recorder.h"
#include "screens/forms.h"
#include "state/module1.h"
#include "support/game_fixture.h"

#include <QtTest>
#include <array>
#include <optional>

namespace {

using Scores = std::array<int, kScoreSlots>;

Scores zeros()
{
    return Scores{};
}

// The score file with one line replaced, as a rewrite should leave it.
QByteArray withSlot(const QByteArray& bytes, int slot, int value)
{
    QList<QByteArray> lines = bytes.split('\n');
    lines[slot] = QByteArray::number(value) + "\r";
    return lines.join('\n');
}

// A game folder, started up, the title screen showing.
bool openGame(GameFixture& f, const Scores& scores = zeros())
{
    f.writeFolder();
    f.writeFile(QStringLiteral("tavo_s.dat"), formatScores(scores));
    return f.startUp() && GameFixture::visibleScreens() == QStringList{"Form1"};
}

// The one game screen on show: the window that has the keys.
QWidget* shownScreen()
{
    const QStringList shown = GameFixture::visibleScreens();
    if (shown.size() != 1)
        return nullptr;
    const QString& name = shown.front();
    if (name == "Form1") return form1;
    if (name == "Form3") return form3;
    if (name == "Form4") return form4;
    if (name == "Form5") return form5;
    if (name == "Form6") return form6;
    return form8;
}

// Plays the stage on show: keypad 0 starts it, the score is set, the clock
// runs out (or Esc gives up) and keypad 0 shows the results screen.
bool finishStage(int stageScore, bool giveUp = false)
{
    if (GameFixture::visibleScreens() != QStringList{"Form3"})
        return false;
    GameFixture::keypad(form3, 0);
    if (Module1.PlayActive != 1)
        return false;
    Module1.StageScore = stageScore;
    if (giveUp)
        GameFixture::escape(form3);
    else
        GameFixture::tickClock(30);
    if (Module1.PlayOver != 1)
        return false;
    GameFixture::keypad(form3, 0);
    return GameFixture::visibleScreens() == QStringList{"Form4"};
}

// From the title: a game in the given mode (keypad 4 normal, 6 extra) with
// stages 1 to 4 cleared at their quotas and stage 5 cleared so that the
// game total is `total`; ends on the results screen of stage 5.
bool reachLastResults(int total, int modeKey = 4)
{
    GameFixture::keypad(form1, modeKey);
    for (int stage = 1; stage <= 4; ++stage) {
        if (Module1.Stage != stage || !finishStage(Module1.StageQuota[stage]))
            return false;
        GameFixture::keypad(form4, 4);
    }
    const int last = total - Module1.GameScore;
    return Module1.Stage == 5 && last >= Module1.StageQuota[5] && finishStage(last) &&
           form4->Image3->picture() == form7->Picture3(1)->picture;
}

QString introLog(int stage)
{
    const TestGameData data;
    const QStringList lines{
        QString::fromUtf8("さあ、いよいよ始まる") + data.titles[stage - 1] + QString::fromUtf8(" Stage！"),
        QString::fromUtf8("クリアノルマは%1点、制限時間は30秒。").arg(data.quotas[stage - 1].toInt() * 10),
        QString::fromUtf8("実況中継は、私、波木 音吉が務めさせて頂きます！"),
        QString::fromUtf8("準備完了、『テンキーの０』を押せば、ゲームスタートです。"),
    };
    return lines.join("\r\n");
}

QString digitRow(const ControlArray<Label>& row)
{
    QString s;
    for (int i = 0; i <= 4; ++i)
        s += row(i)->caption();
    return s;
}

struct ResultsView {
    QString score, verdict, total, quota;
    Picture banner, result;
    bool operator==(const ResultsView&) const = default;
};

ResultsView resultsView()
{
    return {form4->Label2(1)->caption(), form4->Label3(1)->caption(), form4->Label4(1)->caption(),
            form4->Label5(1)->caption(), form4->Image2->picture(), form4->Image3->picture()};
}

int emblemRank()
{
    for (int rank = 0; rank < 6; ++rank)
        if (form5->Image1->picture() == form7->Picture4(rank)->picture)
            return rank;
    return -1;
}

// What a step from the results screen left behind, to compare two roads
// (each in its own set of windows, so pictures are told by their place).
struct Outcome {
    QStringList shown;
    int stage, gameScore;
    Scores best;
    std::optional<Sound> lastSound;  // none: nothing played yet
    QByteArray file;
    QString playCommentary, log, finalTotal, finalBest;
    int emblem;  // which rank picture the final screen shows, -1 none
    bool operator==(const Outcome&) const = default;
};

Outcome outcome(const GameFixture& f)
{
    return {GameFixture::visibleScreens(), Module1.Stage, Module1.GameScore, Module1.HighScores,
            f.sounds.played.empty() ? std::optional<Sound>() : f.sounds.played.back().sound,
            f.readFile("tavo_s.dat"), form3->Label8->caption(), form6->Label1(0)->caption(),
            form5->Label3->caption(), form5->Label5->caption(), emblemRank()};
}

}  // namespace

class ProgressionTest : public QObject {
    Q_OBJECT

private slots:
    void clearedStageSetsUpTheNext();
    void lostStageLeadsToTitle_data();
    void lostStageLeadsToTitle();
    void lastStageShowsFinalResult_data();
    void lastStageShowsFinalResult();
    void lowTotalReplacesEarlierEmblem();
    void gameBestSavedOnlyWhenHigher_data();
    void gameBestSavedOnlyWhenHigher();
    void extraModeUsesItsOwnBest();
    void logDetourLeavesResultsAsTheyWere_data();
    void logDetourLeavesResultsAsTheyWere();
    void resultsScreenKeys();
    void logScrolling();
    void finalAndHighScoreScreensReturnToTitle_data();
    void finalAndHighScoreScreensReturnToTitle();
    void wholeGameByKeys();
    void playAgainWithKeypad5();
};

void ProgressionTest::clearedStageSetsUpTheNext()
{
    // Keypad 4 after a cleared stage 1 to 4 prepares the next stage on the play screen.
    GameFixture f;
    QVERIFY(openGame(f));
    GameFixture::keypad(form1, 4);
    for (int stage = 1; stage <= 4; ++stage) {
        QVERIFY(finishStage(Module1.StageQuota[stage] + stage));
        QCOMPARE(form4->Image3->picture(), form7->Picture3(0)->picture);
        const int total = Module1.GameScore;
        const size_t before = f.sounds.played.size();

        GameFixture::keypad(form4, 4);

        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
        QCOMPARE(Module1.Stage, stage + 1);
        QCOMPARE(Module1.GameScore, total);
        QCOMPARE(Module1.StageScore, 0);
        QCOMPARE(Module1.PlayOver, 0);
        QCOMPARE(Module1.CommentCount, 3);
        QCOMPARE(form3->Label8->caption(), introLog(stage + 1));
        // The log starts afresh with the new stage's opening lines only.
        QCOMPARE(form6->Label1(0)->caption(), introLog(stage + 1) + "\r\n");
        QCOMPARE(form3->Image5->picture(), form7->Picture2(stage)->picture);
        QCOMPARE(digitRow(form3->Label7), QString("%1").arg(Module1.StageQuota[stage + 1] * 10, 5, 10, QChar('0')));
        QCOMPARE(digitRow(form3->Label6), QString("00000"));
        QVERIFY(!form3->Label12->isVisible());
        QCOMPARE(f.sounds.played.size(), before + 1);
        QCOMPARE(f.sounds.played.back().sound, Sound::SoundPowah);
    }
}

void ProgressionTest::lostStageLeadsToTitle_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<int>("score");
    QTest::addColumn<bool>("giveUp");
    QTest::newRow("stage 1 failed") << 1 << 99 << false;
    QTest::newRow("stage 3 given up above the quota") << 3 << 350 << true;
    QTest::newRow("stage 5 failed") << 5 << 0 << false;
    QTest::newRow("stage 5 given up at the quota") << 5 << 500 << true;
}

void ProgressionTest::lostStageLeadsToTitle()
{
    // A failed or given-up stage ends the game: keypad 4 shows the title screen.
    QFETCH(int, stage);
    QFETCH(int, score);
    QFETCH(bool, giveUp);
    GameFixture f;
    QVERIFY(openGame(f));
    GameFixture::keypad(form1, 4);
    while (Module1.Stage < stage) {
        QVERIFY(finishStage(Module1.StageQuota[Module1.Stage]));
        GameFixture::keypad(form4, 4);
    }
    QVERIFY(finishStage(score, giveUp));
    QCOMPARE(form4->Image3->picture(), form7->Picture3(2)->picture);
    const int total = Module1.GameScore;
    const QByteArray file = f.readFile("tavo_s.dat");
    const size_t before = f.sounds.played.size();

    GameFixture::keypad(form4, 4);

    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
    QCOMPARE(f.sounds.played.size(), before + 1);
    QCOMPARE(f.sounds.played.back().sound, Sound::SoundPowah);
    QCOMPARE(Module1.Stage, stage);
    QCOMPARE(Module1.GameScore, total);
    QCOMPARE(f.readFile("tavo_s.dat"), file);
}

void ProgressionTest::lastStageShowsFinalResult_data()
{
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("rank");
    QTest::newRow("7500 is E") << 7500 << 0;
    QTest::newRow("9999 is still E") << 9999 << 0;
    QTest::newRow("10000 is D") << 10000 << 1;
    QTest::newRow("12500 is C") << 12500 << 2;
    QTest::newRow("19999 is A") << 19999 << 4;
    QTest::newRow("20000 is S") << 20000 << 5;
    QTest::newRow("far above is S") << 90000 << 5;
    QTest::newRow("7499 shows E") << 7499 << 0;
    QTest::newRow("a bare win shows E") << 1500 << 0;
}

void ProgressionTest::lastStageShowsFinalResult()
{
    // Keypad 4 after clearing stage 5 shows the final result with the rank of the game total.
    QFETCH(int, total);
    QFETCH(int, rank);
    GameFixture f;
    QVERIFY(openGame(f));
    for (int i = 0; i < 6; ++i)
        for (int j = i + 1; j < 6; ++j)
            QVERIFY(form7->Picture4(i)->picture != form7->Picture4(j)->picture);
    QVERIFY(reachLastResults(total));
    const size_t before = f.sounds.played.size();

    GameFixture::keypad(form4, 4);

    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form5"});
    QCOMPARE(f.sounds.played.size(), before + 1);
    QCOMPARE(f.sounds.played.back().sound, Sound::SoundAllClear);
    QCOMPARE(form5->Label3->caption(), QString::number(total * 10));
    QCOMPARE(form5->Label5->caption(), QString::number(total * 10));
    QCOMPARE(form5->Image1->picture(), form7->Picture4(rank)->picture);
    QCOMPARE(Module1.HighScores[0], total);
}

void ProgressionTest::lowTotalReplacesEarlierEmblem()
{
    // A won game below the lowest rank shows the rank E emblem, not the one an earlier game left.
    GameFixture f;
    QVERIFY(openGame(f));
    QVERIFY(reachLastResults(20000));
    GameFixture::keypad(form4, 4);
    QCOMPARE(form5->Image1->picture(), form7->Picture4(5)->picture);
    GameFixture::keypad(form5, 0);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});

    QVERIFY(reachLastResults(3000));
    GameFixture::keypad(form4, 4);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form5"});
    QCOMPARE(form5->Label3->caption(), QString("30000"));
    QCOMPARE(form5->Label5->caption(), QString("200000"));
    QCOMPARE(form5->Image1->picture(), form7->Picture4(0)->picture);
}

void ProgressionTest::gameBestSavedOnlyWhenHigher_data()
{
    QTest::addColumn<int>("oldBest");
    QTest::addColumn<int>("total");
    QTest::newRow("higher by one") << 8999 << 9000;
    QTest::newRow("equal") << 9000 << 9000;
    QTest::newRow("lower") << 12000 << 9000;
}

void ProgressionTest::gameBestSavedOnlyWhenHigher()
{
    // The mode's best game total is stored and written only when the new total is strictly higher.
    QFETCH(int, oldBest);
    QFETCH(int, total);
    GameFixture f;
    // Stage bests out of reach keep the file as written here, with LF line
    // ends the game never writes itself, so any rewrite would show.
    Scores scores = zeros();
    scores[0] = oldBest;
    for (int stage = 1; stage <= 5; ++stage)
        scores[stage] = 100000;
    QVERIFY(openGame(f, scores));
    QByteArray lfFile = formatScores(scores);
    lfFile.replace("\r\n", "\n");
    f.writeFile(QStringLiteral("tavo_s.dat"), lfFile);
    QVERIFY(reachLastResults(total));
    QCOMPARE(f.readFile("tavo_s.dat"), lfFile);

    GameFixture::keypad(form4, 4);

    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form5"});
    QCOMPARE(form5->Label3->caption(), QString::number(total * 10));
    if (total > oldBest) {
        QCOMPARE(Module1.HighScores[0], total);
        scores[0] = total;
        QCOMPARE(f.readFile("tavo_s.dat"), formatScores(scores));
        QCOMPARE(form5->Label5->caption(), QString::number(total * 10));
    } else {
        QCOMPARE(Module1.HighScores[0], oldBest);
        QCOMPARE(f.readFile("tavo_s.dat"), lfFile);
        QCOMPARE(form5->Label5->caption(), QString::number(oldBest * 10));
    }
    QVERIFY(f.messages.empty());
}

void ProgressionTest::extraModeUsesItsOwnBest()
{
    // In the extra mode the best game total lives in slot 6; slot 0 is left alone.
    GameFixture f;
    Scores scores = zeros();
    scores[0] = 1;
    scores[6] = 2;
    QVERIFY(openGame(f, scores));
    QVERIFY(reachLastResults(9000, 6));
    QCOMPARE(Module1.ScoreSlotBase, 6);
    const QByteArray file = f.readFile("tavo_s.dat");

    GameFixture::keypad(form4, 4);

    QCOMPARE(Module1.HighScores[6], 9000);
    QCOMPARE(Module1.HighScores[0], 1);
    QCOMPARE(f.readFile("tavo_s.dat"), withSlot(file, 6, 9000));
    QVERIFY(f.readFile("tavo_s.dat").startsWith("1\r\n"));
    QCOMPARE(form5->Label5->caption(), QString("90000"));
    QCOMPARE(form5->Image1->picture(), form7->Picture4(0)->picture);
}

void ProgressionTest::logDetourLeavesResultsAsTheyWere_data()
{
    QTest::addColumn<int>("outcome");  // 0 cleared, 1 lost, 2 all cleared
    QTest::newRow("stage cleared") << 0;
    QTest::newRow("stage lost") << 1;
    QTest::newRow("game won") << 2;
}

void ProgressionTest::logDetourLeavesResultsAsTheyWere()
{
    // Keypad 6 opens the log at its top; keypad 0 returns to the same results; keypad 4 then leads on as it would have.
    QFETCH(int, outcome);
    auto reachResults = [outcome] {
        if (outcome == 2)
            return reachLastResults(12000);
        GameFixture::keypad(form1, 4);
        return finishStage(outcome == 0 ? 150 : 20);
    };

    std::optional<Outcome> direct;
    {
        GameFixture f;
        QVERIFY(openGame(f));
        QVERIFY(reachResults());
        GameFixture::keypad(form4, 4);
        direct = ::outcome(f);
    }

    GameFixture f;
    QVERIFY(openGame(f));
    QVERIFY(reachResults());
    const ResultsView results = resultsView();
    const QString log = form6->Label1(0)->caption();
    QVERIFY(Module1.CommentCount > 3);
    // A log left scrolled by an earlier look opens at its top again.
    form6->Label1(0)->setTop(-945);
    Module1.LogScrollPos = 3;
    const size_t before = f.sounds.played.size();

    GameFixture::keypad(form4, 6);

    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form6"});
    QCOMPARE(Module1.LogScrollMax, Module1.CommentCount);
    QCOMPARE(Module1.LogScrollPos, 0);
    QCOMPARE(form6->Label1(0)->top(), 0.0);
    QCOMPARE(form6->Label1(0)->caption(), log);
    QCOMPARE(f.sounds.played.size(), before + 1);
    QCOMPARE(f.sounds.played.back().sound, Sound::SoundPowah);

    GameFixture::keypad(form6, 1);
    GameFixture::keypad(form6, 0);

    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form4"});
    QCOMPARE(f.sounds.played.size(), before + 2);
    QCOMPARE(f.sounds.played.back().sound, Sound::SoundPowah);
    QVERIFY(resultsView() == results);

    GameFixture::keypad(form4, 4);
    QVERIFY(::outcome(f) == *direct);
}

void ProgressionTest::resultsScreenKeys()
{
    // The results screen answers keypad 4, keypad 6 and Esc only.
    GameFixture f;
    QVERIFY(openGame(f));
    GameFixture::keypad(form1, 4);
    QVERIFY(finishStage(150));
    const ResultsView results = resultsView();
    const size_t before = f.sounds.played.size();

    for (int d : {0, 1, 2, 3, 5, 7, 8, 9})
        GameFixture::keypad(form4, d);
    for (int d : {0, 4, 6})
        GameFixture::mainKeyboardDigit(form4, d);
    QTest::keyClick(form4, Qt::Key_PageUp);
    QTest::keyClick(form4, Qt::Key_PageDown);
    QTest::keyClick(form4, Qt::Key_Return);

    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form4"});
    QCOMPARE(Module1.Stage, 1);
    QCOMPARE(f.sounds.played.size(), before);
    QVERIFY(f.messages.empty());
    QVERIFY(resultsView() == results);

    f.answers.push_back(MsgResult::Cancel);
    GameFixture::escape(form4);
    QCOMPARE(f.messages.size(), size_t(1));
    QCOMPARE(f.messages[0].text, QString::fromUtf8("クェネルを終了します。"));
    QVERIFY(f.messages[0].cancelIsDefault);
    QVERIFY(f.endRequests.empty());
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form4"});
    QVERIFY(resultsView() == results);

    f.answers.push_back(MsgResult::OK);
    GameFixture::escape(form4);
    QCOMPARE(f.endRequests, std::vector<int>{0});
}

void ProgressionTest::logScrolling()
{
    // The log scrolls one 315-twip line per key, between its first line and LogScrollMax.
    GameFixture f;
    QVERIFY(openGame(f));
    GameFixture::keypad(form1, 4);
    QVERIFY(finishStage(150));
    GameFixture::keypad(form4, 6);
    const int max = Module1.LogScrollMax;
    QVERIFY(max > 5);
    const QString log = form6->Label1(0)->caption();
    auto at = [](int pos) {
        return Module1.LogScrollPos == pos && form6->Label1(0)->top() == -pos * 315.0;
    };

    GameFixture::keypad(form6, 4);
    QVERIFY(at(0));
    QTest::keyClick(form6, Qt::Key_PageUp);
    QVERIFY(at(0));
    GameFixture::keypad(form6, 1);
    QVERIFY(at(1));
    QTest::keyClick(form6, Qt::Key_PageDown);
    QVERIFY(at(2));
    GameFixture::keypad(form6, 1);
    QVERIFY(at(3));
    QTest::keyClick(form6, Qt::Key_PageUp);
    QVERIFY(at(2));
    GameFixture::keypad(form6, 4);
    QVERIFY(at(1));

    // Keys without a meaning here leave the log alone.
    const size_t sounds = f.sounds.played.size();
    for (int d : {2, 3, 5, 6, 7, 8, 9})
        GameFixture::keypad(form6, d);
    GameFixture::mainKeyboardDigit(form6, 1);
    GameFixture::mainKeyboardDigit(form6, 0);
    QVERIFY(at(1));
    QCOMPARE(f.sounds.played.size(), sounds);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form6"});
    // Back up to the first line, drawn there again, and no further.
    GameFixture::keypad(form6, 4);
    QVERIFY(at(0));
    QTest::keyClick(form6, Qt::Key_PageUp);
    QVERIFY(at(0));

    for (int i = 0; i < max + 3; ++i)
        GameFixture::keypad(form6, 1);
    QVERIFY(at(max));
    QTest::keyClick(form6, Qt::Key_PageDown);
    QVERIFY(at(max));
    GameFixture::keypad(form6, 4);
    QVERIFY(at(max - 1));

    f.answers.push_back(MsgResult::Cancel);
    GameFixture::escape(form6);
    QCOMPARE(f.messages.size(), size_t(1));
    QVERIFY(f.messages[0].cancelIsDefault);
    QVERIFY(f.endRequests.empty());
    QVERIFY(at(max - 1));
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form6"});

    GameFixture::keypad(form6, 0);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form4"});
    QCOMPARE(f.sounds.played.back().sound, Sound::SoundPowah);
    QCOMPARE(form6->Label1(0)->caption(), log);
}

void ProgressionTest::finalAndHighScoreScreensReturnToTitle_data()
{
    QTest::addColumn<bool>("finalScreen");
    QTest::newRow("final result") << true;
    QTest::newRow("high scores") << false;
}

void ProgressionTest::finalAndHighScoreScreensReturnToTitle()
{
    // Keypad 0, and only keypad 0, leads from the final result and high-score screens back to the title.
    QFETCH(bool, finalScreen);
    GameFixture f;
    QVERIFY(openGame(f));
    QWidget* screen = nullptr;
    QString name;
    if (finalScreen) {
        QVERIFY(reachLastResults(8000));
        GameFixture::keypad(form4, 4);
        screen = form5;
        name = "Form5";
    } else {
        GameFixture::keypad(form1, 1);
        screen = form8;
        name = "Form8";
    }
    QCOMPARE(GameFixture::visibleScreens(), QStringList{name});
    const size_t before = f.sounds.played.size();

    GameFixture::mainKeyboardDigit(screen, 0);
    GameFixture::keypad(screen, 4);
    GameFixture::keypad(screen, 1);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{name});
    QCOMPARE(f.sounds.played.size(), before);

    f.answers.push_back(MsgResult::Cancel);
    GameFixture::escape(screen);
    QCOMPARE(f.messages.size(), size_t(1));
    QCOMPARE(f.messages[0].text, QString::fromUtf8("クェネルを終了します。"));
    QVERIFY(f.messages[0].cancelIsDefault);
    QVERIFY(f.endRequests.empty());
    QCOMPARE(GameFixture::visibleScreens(), QStringList{name});

    GameFixture::keypad(shownScreen(), 0);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
    QCOMPARE(f.sounds.played.size(), before + 1);
    QCOMPARE(f.sounds.played.back().sound, Sound::SoundPowah);

    // The second press reaches the title screen, which has no use for 0.
    GameFixture::keypad(shownScreen(), 0);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
    QCOMPARE(f.sounds.played.size(), before + 1);
}

void ProgressionTest::wholeGameByKeys()
{
    // A whole game played by keys reaches the final result, and the high scores then match the score file.
    GameFixture f;
    QVERIFY(openGame(f));
    auto press = [](int digit) {
        QWidget* screen = shownScreen();
        QVERIFY(screen);
        GameFixture::keypad(screen, digit);
    };

    press(4);
    int total = 0;
    for (int stage = 1; stage <= 5; ++stage) {
        QCOMPARE(Module1.Stage, stage);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
        press(0);
        GameFixture::missTarget();
        for (int i = 0; i < 200 && Module1.StageScore < Module1.StageQuota[stage]; ++i)
            GameFixture::hitTarget();
        QVERIFY(Module1.StageScore >= Module1.StageQuota[stage]);
        GameFixture::tickClock(30);
        QCOMPARE(Module1.PlayOver, 1);
        const int stageScore = Module1.StageScore;
        total += stageScore;
        press(0);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form4"});
        QCOMPARE(form4->Label3(1)->caption(), QString("HiSCORE!!"));
        QCOMPARE(form4->Label4(1)->caption(), QString::number(total * 10));
        press(4);
    }
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form5"});
    QCOMPARE(form5->Label3->caption(), QString::number(total * 10));
    QCOMPARE(form5->Label5->caption(), QString::number(total * 10));
    QCOMPARE(form5->Image1->picture(), form7->Picture4(0)->picture);

    press(0);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
    press(1);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form8"});

    const QList<QByteArray> lines = f.readFile("tavo_s.dat").split('\n');
    QCOMPARE(lines.size(), kScoreSlots + 1);
    QCOMPARE(lines[0].trimmed().toInt(), total);
    for (int i = 0; i < kScoreSlots; ++i) {
        QVERIFY(lines[i].endsWith('\r'));
        const qint64 stored = lines[i].trimmed().toLongLong();
        QCOMPARE(form8->Label5(i)->caption(), QString::number(stored * 10));
        QCOMPARE(stored > 0, i >= 0 && i <= 5);
    }
}

QTEST_MAIN(ProgressionTest)
#include "test_progression.moc"

namespace {
// What a new game's first play screen shows, as far as the road to it
// cannot change: a second game draws other digits than a first.
struct FreshGame {
    QStringList shown;
    int stage, gameScore, stageScore, slotBase, stagesRecorded;
    QString commentary, quota;
    QColor next, third;  // the colours of the second and third row of keys
    Sound lastSound;
    bool operator==(const FreshGame&) const = default;
};

FreshGame freshGame(const GameFixture& f)
{
    const GameRecord* game = gameHistory().currentGame();
    return {GameFixture::visibleScreens(), Module1.Stage, Module1.GameScore, Module1.StageScore,
            Module1.ScoreSlotBase, game ? int(game->stages.size()) : -1, form3->Label8->caption(),
            digitRow(form3->Label7), Module1.KeyColors[1][1], Module1.KeyColors[2][2],
            f.sounds.played.back().sound};
}
}  // namespace

void ProgressionTest::playAgainWithKeypad5()
{
    // Keypad 5 after a failed or given-up stage and on the final result
    // starts a new game of the same mode, as the title's key would; on a
    // cleared stage's results it does nothing, and only a lost game's
    // results show the hint.
    for (const int modeKey : {4, 6}) {
        std::optional<FreshGame> direct;
        {
            GameFixture f;
            QVERIFY(openGame(f));
            GameFixture::keypad(form1, modeKey);
            direct = freshGame(f);
        }
        for (const int road : {0, 1, 2}) {
            GameFixture f;
            QVERIFY(openGame(f));
            GameWindow* from = form4;
            if (road == 2) {
                QVERIFY(reachLastResults(12000, modeKey));
                QVERIFY(!form4->LabelAgain->isVisible());
                GameFixture::keypad(form4, 5);
                QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form4"});
                GameFixture::keypad(form4, 4);
                QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form5"});
                QVERIFY(form5->LabelAgain->isVisible());
                from = form5;
            } else {
                GameFixture::keypad(form1, modeKey);
                if (road == 1) {
                    QVERIFY(finishStage(Module1.StageQuota[1]));
                    GameFixture::keypad(form4, 4);
                }
                QVERIFY(finishStage(road == 0 ? Module1.StageQuota[1] - 1 : 500, road == 1));
                QVERIFY(form4->LabelAgain->isVisible());
            }
            GameFixture::keypad(from, 5);
            QVERIFY2(freshGame(f) == *direct, qPrintable(QString("mode key %1, road %2").arg(modeKey).arg(road)));
            QVERIFY(!form4->LabelAgain->isVisible() || !form4->isVisible());
        }
    }
}
