// The play history seen from the game: what a played stage leaves in
// history.sqlite, that nothing is written while keys are judged, that a
// broken history file never stops play and is told once, after the results,
// and that stages held back reach the file later or at the latest at exit.
#include "play/pace.h"
#include "play/stage_run.h"
#include "history/recorder.h"
#include "history/history_reader.h"
#include "screens/forms.h"
#include "screens/progress_window.h"
#include "support/history_folder.h"
#include "state/module1.h"
#include "support/game_fixture.h"

#include <QDir>
#include <QFile>
#include <QSqlRecord>
#include <QSqlQuery>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <set>

namespace {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// Title keypad 4, then keypad 0 on the play screen: the clock runs.
bool startStage(GameFixture& f)
{
    f.writeFolder();
    if (!f.startUp())
        return false;
    GameFixture::keypad(form1, 4);
    GameFixture::keypad(form3, 0);
    return Module1.PlayActive == 1;
}

// One game from the title: each stage gets its hits (a miss after every
// seventh), 150 ms apart on the history's clock; the stage runs to time-up
// and the game goes on while stages are cleared. The last stage is given up
// when giveUpLast.
void playGame(qint64& now, int modeKey, const std::vector<int>& hitsPerStage, bool giveUpLast)
{
    GameFixture::keypad(form1, modeKey);
    for (size_t i = 0; i < hitsPerStage.size(); ++i) {
        GameFixture::keypad(form3, 0);
        const qint64 start = now;
        for (int h = 0; h < hitsPerStage[i]; ++h) {
            now += 150 + (h % 5) * 40;
            GameFixture::hitTarget();
            if (h % 7 == 6)
                GameFixture::missTarget();
        }
        if (giveUpLast && i + 1 == hitsPerStage.size()) {
            GameFixture::escape(form3);
        } else {
            now = start + 29970;
            GameFixture::tickClock(30);
        }
        GameFixture::keypad(form3, 0);   // results
        GameFixture::keypad(form4, 4);   // next stage, final screen or title
    }
    if (form5->isVisible())
        GameFixture::keypad(form5, 0);
}

// From the title: one stage of the given mode, two hits, given up; back to the title.
void giveUpOneStage(int modeKey)
{
    GameFixture::keypad(form1, modeKey);
    GameFixture::keypad(form3, 0);
    GameFixture::hitTarget();
    GameFixture::hitTarget();
    GameFixture::escape(form3);
    GameFixture::keypad(form3, 0);   // results
    GameFixture::keypad(form4, 4);   // the game is lost: the title
}

QString stagesIn(const QString& path)
{
    return rows(path, QStringLiteral("SELECT count(*) FROM stages")).value(0);
}

// The game started over a history file that already exists; its path, or
// nothing if either failed.
QString startedOverHistory(GameFixture& f)
{
    f.writeFolder();
    if (!f.startUp())
        return QString();
    const QString history = f.path(QStringLiteral("history.sqlite"));
    HistoryDatabase make(history);
    return make.open() ? history : QString();
}

// A stored stage fed through the stage model: each key struck against the
// target it was struck at, in order, on a state with the stage's gauge step.
int replayedScore(const StageRecord& stage, double gaugeStep)
{
    GameState m;
    m.Stage = stage.stage;
    m.StageGaugeStep[static_cast<size_t>(stage.stage)] = gaugeStep;
    m.StageKeyRange[static_cast<size_t>(stage.stage)] = 9;
    StageRun run(m);
    run.start();
    for (const KeyStroke& key : stage.keys) {
        m.KeyQueue[0] = key.target;
        if (run.key(key.digit).hit != key.hit)
            return -1;  // the model judges the key otherwise than play did
    }
    return m.StageScore * kScoreUnit;
}

}  // namespace

class HistoryPlayTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setHistoryMonotonicClock(nullptr); }

    // A stage played to time-up: the game, the stage with its score and hits, one key row per key judged.
    void playedStageIsRecorded()
    {
        GameFixture f;
        qint64 now = 1000;
        setHistoryMonotonicClock([&now] { return now; });
        QVERIFY(startStage(f));
        const QString history = f.path(QStringLiteral("history.sqlite"));
        // Opened once the play screen is up, not between the key and it.
        QVERIFY(!QFile::exists(history));
        QTRY_VERIFY(QFile::exists(history));
        for (int i = 0; i < 12; ++i) {
            now += 150;
            if (i == 4)
                GameFixture::missTarget();
            else
                GameFixture::hitTarget();
        }
        // Keys are only kept in memory while the clock runs: the file, opened
        // as the game started, holds nothing yet.
        QCOMPARE(rows(history, QStringLiteral("SELECT (SELECT count(*) FROM games) + (SELECT count(*) FROM keys)")),
                 QStringList{QStringLiteral("0")});
        now = 1000 + 29970;
        GameFixture::tickClock(30);
        QCOMPARE(Module1.PlayOver, 1);

        const int score = Module1.StageScore;  // 11 hits, a miss after the fourth: below the quota
        QCOMPARE(score, 1 + 2 + 3 + 5 + 1 + 2 + 3 + 5 + 7 + 10 + 14);
        QCOMPARE(rows(history, QStringLiteral("SELECT mode, total, outcome, last_stage FROM games")),
                 QStringList{QStringLiteral("normal|%1|lost|1").arg(score * 10)});
        QCOMPARE(rows(history, QStringLiteral("SELECT stage, score, quota, verdict, play_ms FROM stages")),
                 QStringList{QStringLiteral("1|%1|1000|failure|29970").arg(score * 10)});
        // The figures are worked out from the keys as they are read back.
        const auto games = latestGames(gameHistory().database(), std::nullopt, 1);
        QVERIFY(games && games->size() == 1);
        const StageFigures figures = stageFigures(games->front().stages.at(0));
        QCOMPARE(figures.hits, 11);
        QCOMPARE(figures.misses, 1);
        QCOMPARE(figures.longestStreak, 7);
        QCOMPARE(figures.medianGapMs.value(), 150);
        const QStringList keys = rows(history, QStringLiteral("SELECT ms, digit, target, hit FROM keys ORDER BY rowid"));
        QCOMPARE(keys.size(), 12);
        QCOMPARE(keys[0], QStringLiteral("150|1|1|1"));
        // The fixture's targets in a key range of 3 run 1, 1, 1, 2, 2, 2, 3, ...:
        // the miss strikes 3 where 2 was asked for.
        QCOMPARE(keys[4], QStringLiteral("750|3|2|0"));
        QCOMPARE(keys[7], QStringLiteral("1200|3|3|1"));
        QCOMPARE(keys[11], QStringLiteral("1800|1|1|1"));

        // The results and the score file are as they always were.
        GameFixture::keypad(form3, 0);
        QVERIFY(form4->isVisible());
        QCOMPARE(form4->Label3(1)->caption(), QStringLiteral("Failure!!"));
        QCOMPARE(Module1.HighScores[1], score);
        QVERIFY(f.messages.empty());
    }

    // A stage that ends exactly on its quota is cleared in the history as on
    // the results screen; one unit below, both say failure.
    void stageOnItsQuotaIsCleared()
    {
        for (const int below : {0, 1}) {
            GameFixture f;
            QVERIFY(startStage(f));
            GameFixture::hitTarget();
            Module1.StageScore = Module1.StageQuota[1] - below;
            GameFixture::tickClock(kStageSeconds);
            GameFixture::keypad(form3, 0);
            QCOMPARE(form4->Label3(1)->caption(), below ? QStringLiteral("Failure!!") : QStringLiteral("HiSCORE!!"));
            QCOMPARE(rows(f.path(QStringLiteral("history.sqlite")), QStringLiteral("SELECT verdict FROM stages")),
                     QStringList{below ? QStringLiteral("failure") : QStringLiteral("clear")});
        }
    }

    // A give-up in stage 1 loses the game at stage 1; the stage keeps its points.
    void giveUpLosesTheGame()
    {
        GameFixture f;
        QVERIFY(startStage(f));
        GameFixture::hitTarget();
        GameFixture::hitTarget();
        GameFixture::escape(form3);
        const QString history = f.path(QStringLiteral("history.sqlite"));
        QCOMPARE(rows(history, QStringLiteral("SELECT g.outcome, g.last_stage, g.total, s.verdict,"
                                              " (SELECT sum(hit) FROM keys WHERE stage_id = s.id)"
                                              " FROM games g JOIN stages s ON s.game_id = g.id")),
                 QStringList{QStringLiteral("lost|1|30|giveup|2")});
    }

    // A damaged history file: play goes on, the file is kept aside, one message once the results are up.
    void damagedFileToldOnceAfterResults()
    {
        GameFixture f;
        f.writeFolder();
        f.writeFile(QStringLiteral("history.sqlite"), QByteArray(8192, '\x5a'));
        QVERIFY(f.startUp());
        const QByteArray scoresBefore = f.readFile(QStringLiteral("tavo_s.dat"));
        GameFixture::keypad(form1, 4);
        GameFixture::keypad(form3, 0);
        GameFixture::tickClock(30);
        QVERIFY(f.messages.empty());  // not during the stage's end
        GameFixture::keypad(form3, 0);
        QVERIFY(form4->isVisible());
        QCOMPARE(f.messages.size(), size_t(1));
        QVERIFY(f.messages[0].text.contains(u8("「history.sqlite」が壊れていたため")));
        QCOMPARE(f.readFile(QStringLiteral("tavo_s.dat")), scoresBefore);
        const QStringList aside = QDir(f.path()).entryList({QStringLiteral("history.broken-*.sqlite")});
        QCOMPARE(aside.size(), 1);
        QCOMPARE(f.readFile(aside[0]), QByteArray(8192, '\x5a'));
        QCOMPARE(rows(f.path(QStringLiteral("history.sqlite")), QStringLiteral("SELECT count(*) FROM stages")),
                 QStringList{QStringLiteral("1")});
    }

    // A file held by another program: the stage waits in memory, the player is told once.
    void lockedFileDoesNotStopPlay()
    {
        GameFixture f;
        QVERIFY(startStage(f));
        const QString history = f.path(QStringLiteral("history.sqlite"));
        {
            HistoryDatabase make(history);
            QVERIFY(make.open());
        }
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(history);
        QVERIFY(other.open());
        QSqlQuery(other).exec(QStringLiteral("BEGIN EXCLUSIVE"));
        for (int stage = 1; stage <= 2; ++stage) {
            for (int i = 0; i < 30; ++i)
                GameFixture::hitTarget();
            GameFixture::tickClock(30);
            GameFixture::keypad(form3, 0);   // results
            QVERIFY(form4->isVisible());
            GameFixture::keypad(form4, 4);   // cleared: the next stage
            QCOMPARE(Module1.Stage, stage + 1);
            GameFixture::keypad(form3, 0);
        }
        QCOMPARE(f.messages.size(), size_t(1));
        QVERIFY(f.messages[0].text.contains(u8("ほかのプログラム")));
        QSqlQuery(other).exec(QStringLiteral("ROLLBACK"));
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));

        GameFixture::escape(form3);   // stage 3 given up: all three stages reach the file
        QCOMPARE(rows(history, QStringLiteral("SELECT group_concat(verdict) FROM stages")),
                 QStringList{QStringLiteral("clear,clear,giveup")});
        QCOMPARE(f.messages.size(), size_t(1));
    }

    // Stages held back by another program's lock are written when the history is next touched: opening プレイ記録, or starting a game.
    void heldBackStagesWrittenWhenTouched()
    {
        for (bool viaProgress : {true, false}) {
            GameFixture f;
            const QString history = startedOverHistory(f);
            QVERIFY(!history.isEmpty());
            Holder holder(history);
            QVERIFY(holder.held());
            giveUpOneStage(4);
            QCOMPARE(f.messages.size(), size_t(1));   // "not saved yet", after the results
            holder.release();
            if (viaProgress)
                GameFixture::keypad(form1, 2);
            else
                GameFixture::keypad(form1, 6);
            // A game's start touches the file once its play screen is up.
            QTRY_COMPARE(stagesIn(history), QStringLiteral("1"));
            QCOMPARE(rows(history, QStringLiteral("SELECT mode, outcome FROM games")),
                     QStringList{QStringLiteral("normal|lost")});
        }
    }

    // The quit question's OK makes one last try: a lock released meanwhile lets the stage in; one still held is told, naming the file, before the end.
    void heldBackStagesAtQuit()
    {
        for (bool released : {true, false}) {
            GameFixture f;
            const QString history = startedOverHistory(f);
            QVERIFY(!history.isEmpty());
            Holder holder(history);
            giveUpOneStage(6);
            const size_t told = f.messages.size();
            if (released)
                holder.release();
            GameFixture::escape(form1);   // the quit question, answered OK
            QCOMPARE(f.endRequests, std::vector<int>{0});
            if (released) {
                QCOMPARE(f.messages.size(), told + 1);   // the question alone
                QCOMPARE(stagesIn(history), QStringLiteral("1"));
            } else {
                QCOMPARE(f.messages.size(), told + 2);
                QCOMPARE(f.messages.back().text,
                         u8("プレイ記録ファイル「history.sqlite」に書き込めないため、まだ書き込めていない1ステージ分の"
                            "プレイ記録は残せませんでした。"));
                holder.release();
                QCOMPARE(stagesIn(history), QStringLiteral("0"));
            }
        }
    }

    // After a stage's end and after quitting by the close box, a copy of history.sqlite alone holds every stage.
    void oneFileAfterStageAndQuit()
    {
        GameFixture f;
        QVERIFY(startStage(f));
        const QString history = f.path(QStringLiteral("history.sqlite"));
        const QString copy = f.path(QStringLiteral("copy.sqlite"));
        GameFixture::hitTarget();
        GameFixture::escape(form3);
        QVERIFY(QFile::copy(history, copy));
        QCOMPARE(stagesIn(copy), QStringLiteral("1"));
        GameFixture::keypad(form3, 0);
        GameFixture::keypad(form4, 4);
        form1->close();   // the close box, answered OK
        QCOMPARE(f.endRequests, std::vector<int>{0});
        QFile::remove(copy);
        QVERIFY(QFile::copy(history, copy));
        QCOMPARE(rows(copy, QStringLiteral("SELECT count(*) FROM keys")), QStringList{QStringLiteral("1")});
        QCOMPARE(QDir(f.path()).entryList({QStringLiteral("history.sqlite*")}),
                 QStringList{QStringLiteral("history.sqlite")});
    }

    // Keypad 2 on the title: without a history the screen says so, and no file is made just to look.
    void progressScreenWithoutHistory()
    {
        GameFixture f;
        f.writeFolder();
        QVERIFY(f.startUp());
        GameFixture::keypad(form1, 2);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Progress")});
        QVERIFY(progressWindow->emptyText().startsWith(u8("まだプレイ記録がありません。")));
        QVERIFY(!QFile::exists(f.path(QStringLiteral("history.sqlite"))));
        GameFixture::keypad(progressWindow, 6);   // no pages to turn
        QCOMPARE(progressWindow->heading(), progressWindow->emptyText());
        GameFixture::keypad(progressWindow, 0);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Form1")});
        QCOMPARE(f.sounds.played.size(), size_t(2));
        QVERIFY(f.messages.empty());
    }

    // After three games: the pages turned by 4 and 6 (wrapping round), 0 back to the title, Esc asks to quit.
    void progressScreenPages()
    {
        GameFixture f;
        f.writeFolder();
        QVERIFY(f.startUp());
        qint64 now = 0;
        setHistoryMonotonicClock([&now] { return now; });
        playGame(now, 4, {30}, true);
        playGame(now, 6, {40, 10}, false);
        playGame(now, 4, {60, 70, 20}, true);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Form1")});

        GameFixture::keypad(form1, 2);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Progress")});
        QVERIFY(progressWindow->emptyText().isEmpty());
        QStringList headings;
        for (int i = 0; i < ProgressWindow::kPageCount; ++i) {
            headings << progressWindow->heading();
            if (!qEnvironmentVariableIsEmpty("QUENNEL_PROGRESS_SHOTS"))
                progressWindow->grab().save(qEnvironmentVariable("QUENNEL_PROGRESS_SHOTS") +
                                            QStringLiteral("/page%1.png").arg(i));
            GameFixture::keypad(progressWindow, 6);
        }
        headings.removeDuplicates();
        QCOMPARE(headings.size(), int(ProgressWindow::kPageCount));
        QCOMPARE(progressWindow->page(), 0);              // 6 on the last page wraps to the first
        GameFixture::keypad(progressWindow, 4);
        QCOMPARE(progressWindow->page(), ProgressWindow::kPageCount - 1);
        QCOMPARE(progressWindow->page(), int(ProgressWindow::DigitTrends));   // the pages added last
        GameFixture::keypad(progressWindow, 4);
        QCOMPARE(progressWindow->page(), int(ProgressWindow::Calendar));
        GameFixture::keypad(progressWindow, 4);
        QCOMPARE(progressWindow->heading(), u8("打鍵速度 (KPH)　1時間あたりの打鍵数"));

        f.answers = {MsgResult::Cancel};
        GameFixture::escape(progressWindow);
        QCOMPARE(f.messages.back().text, u8("クェネルを終了します。"));
        QVERIFY(f.endRequests.empty());
        GameFixture::keypad(progressWindow, 0);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Form1")});

        // The figures behind the pages: three games, the last one's three stages.
        const std::optional<ProgressData> data = readProgress(gameHistory().database());
        QVERIFY(data);
        QCOMPARE(data->gameCount, 3);
        QCOMPARE(data->recent[0].size(), size_t(2));
        QCOMPARE(data->recent[1].size(), size_t(1));
        QCOMPARE(data->recent[1][0].outcome, GameOutcome::Lost);   // hard: 10 hits miss stage 2's quota
        QCOMPARE(data->lastGameStages.size(), size_t(3));
        QCOMPARE(data->lastGameStages[2].verdict, StageVerdict::GiveUp);
    }

    // Pace: the best's run replayed gives its score at each tick (the hits up
    // to k × 999 ms); the play screen shows this stage against it each second,
    // signed and coloured, and nothing without --pace or without the run.
    void paceAgainstTheStageBest()
    {
        StageRecord run;
        run.stage = 3;
        // Targets over the whole keypad; a miss after the third hit.
        const qint32 ms[] = {400, 998, 999, 1200, 2100, 2997, 5000};
        for (int i = 0; i < 7; ++i)
            run.keys.push_back(KeyStroke{ms[i], qint8(i + 1), qint8(i == 3 ? 9 : i + 1), i != 3});
        const Pace pace(run, 1.0);
        // Hits 1, 2, 3 (1+2+3), the miss, hits 5, 6 from an empty gauge (1, 2), hit 7 (3).
        const std::vector<int> expected{0, 6, 6, 9, 9, 9, 12, 12};
        for (int tick = 0; tick < int(expected.size()); ++tick)
            QCOMPARE(pace.bestAfter(tick), expected[size_t(tick)]);
        // The half-step gauge: a hit after the miss earns nothing until a whole level.
        QCOMPARE(Pace(run, 0.5).bestAfter(3), 0 + 1 + 1 + 0 + 1);
        QCOMPARE(paceText(125), QString::fromUtf8("ベスト比 +1,250"));
        QCOMPARE(paceText(-3), QString::fromUtf8("ベスト比 -30"));
        QCOMPARE(paceText(0), QString::fromUtf8("ベスト比 ±0"));
        QVERIFY(paceColor(1).green() > 200 && paceColor(1).red() < 100);
        QVERIFY(paceColor(-1).red() > 200 && paceColor(-1).green() < 100);

        GameFixture f;
        qint64 now = 1000;
        setHistoryMonotonicClock([&now] { return now; });
        f.writeFolder();
        QVERIFY(f.startUp());
        // First game: no best run yet, no pace. 12 hits in the first second.
        playGame(now, 4, {12}, true);
        QVERIFY(!form3->LabelPace->isVisible());
        QTRY_COMPARE(stagesIn(f.path(QStringLiteral("history.sqlite"))), QStringLiteral("1"));
        // The best's run (60 units): hits at 150, 340, 570, 840 ms (11 by the
        // first tick), 1150, 1300, 1490, a miss, 1720, 1990 (45 by the second).
        QCOMPARE(Module1.HighScores[1], 60);
        // Second game: 2 hits before the first tick (3), behind; 20 more
        // before the second (475), ahead.
        GameFixture::keypad(form1, 4);
        GameFixture::keypad(form3, 0);
        GameFixture::hitTarget();
        GameFixture::hitTarget();
        GameFixture::tickClock(1);
        QVERIFY(form3->LabelPace->isVisible());
        QCOMPARE(form3->LabelPace->caption(), QString::fromUtf8("ベスト比 -80"));
        QCOMPARE(form3->LabelPace->foreColor(), paceColor(-1));
        for (int h = 0; h < 20; ++h)
            GameFixture::hitTarget();
        GameFixture::tickClock(1);
        QCOMPARE(form3->LabelPace->caption(), QString::fromUtf8("ベスト比 +4,300"));
        QCOMPARE(form3->LabelPace->foreColor(), paceColor(1));
        GameFixture::escape(form3);
        GameFixture::keypad(form3, 0);
        GameFixture::keypad(form4, 4);
        // Hidden when the player turned it off.
        setPaceShown(false);
        GameFixture::keypad(form1, 4);
        GameFixture::keypad(form3, 0);
        GameFixture::tickClock(2);
        QVERIFY(!form3->LabelPace->isVisible());
        setPaceShown(true);
    }

    // Replay: the keys a played history stores (digit, target, hit, in order), fed through the stage model, give back every stored stage score.
    void storedKeysReplayToStoredScores()
    {
        GameFixture f;
        TestGameData data;
        data.gaugeSteps = {"1", "1", "0.5", "1", "0.5"};
        data.quotas = {"50", "50", "50", "50", "50"};
        f.writeFolder(data);
        QVERIFY(f.startUp());
        qint64 now = 0;
        setHistoryMonotonicClock([&now] { return now; });
        playGame(now, 4, {20, 30, 40, 45, 50}, false);   // won
        playGame(now, 6, {25, 12}, true);                // hard, given up in stage 2

        std::vector<GameRecord> games;
        QVERIFY(forEachGame(gameHistory().database(), GameFilter{},
                            [&](const GameRecord& g) { games.push_back(g); }));
        QCOMPARE(games.size(), size_t(2));
        QCOMPARE(games[0].outcome, GameOutcome::Cleared);
        QCOMPARE(games[0].stages.size(), size_t(kStageCount));
        QCOMPARE(games[1].stages.size(), size_t(2));
        std::set<int> targets, struck;
        for (const GameRecord& game : games) {
            int total = 0;
            for (const StageRecord& stage : game.stages) {
                QVERIFY(stage.score > 0);
                QCOMPARE(replayedScore(stage, Module1.StageGaugeStep[static_cast<size_t>(stage.stage)]), stage.score);
                total += stage.score;
                for (const KeyStroke& key : stage.keys) {
                    QCOMPARE(key.hit, key.digit == key.target);
                    targets.insert(key.target);
                    struck.insert(key.digit);
                }
            }
            QCOMPARE(game.total, total);
        }
        QCOMPARE(targets, (std::set<int>{1, 2, 3, 4, 5, 6, 7, 8, 9}));
        QCOMPARE(struck, targets);
    }

    // A won game below or at 7500 units is rank E, alike on the final screen
    // and in the stored row (quotas that add up to less than 7500).
    void wonGameAtOrBelowRankBaseIsE()
    {
        GameFixture f;
        TestGameData data;
        data.quotas = {"300", "300", "300", "300", "300"};
        f.writeFolder(data);
        QVERIFY(f.startUp());
        const QString history = f.path(QStringLiteral("history.sqlite"));
        for (const int perStage : {300, 1500}) {
            GameFixture::keypad(form1, 4);
            for (int stage = 1; stage <= kStageCount; ++stage) {
                GameFixture::keypad(form3, 0);
                GameFixture::hitTarget();
                Module1.StageScore = perStage;  // the stage's points, whatever the hits made
                GameFixture::tickClock(kStageSeconds);
                GameFixture::keypad(form3, 0);
                GameFixture::keypad(form4, 4);
            }
            QVERIFY(form5->isVisible());
            QCOMPARE(Module1.GameScore, perStage * kStageCount);
            QVERIFY(form5->Image1->picture() == form7->Picture4(0)->picture);
            QCOMPARE(rows(history, QStringLiteral("SELECT total, outcome, rank FROM games ORDER BY id DESC LIMIT 1")),
                     QStringList{QStringLiteral("%1|cleared|E").arg(perStage * kStageCount * kScoreUnit)});
            GameFixture::keypad(form5, 0);
        }
    }
};

QTEST_MAIN(HistoryPlayTest)
#include "test_history_play.moc"
