// The figures the history gives back: a game as the file returns it, the
// pages of プレイ記録 (stage bests, the last game, keystrokes per hour), the
// keypad's median, the practice result, and the recorder's stages that the
// file lost or could not take. Each answer is worked out by hand beside it.
#include "history/history_reader.h"
#include "history/practice_report.h"
#include "history/recorder.h"

#include "support/history_folder.h"
#include <QDir>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>

namespace {

// The digit beside d on the keypad, struck by mistake.
int wrongFor(int d)
{
    return d % 9 + 1;
}

// Runs of correct keys, targets 1, 2, .., 9 over and over, 200 ms apart;
// one miss between two runs.
StageRecord runsStage(int stage, int score, const std::vector<int>& runs)
{
    StageRecord s{stage, score, 1000, StageVerdict::Clear, 29970, {}};
    int ms = 0, target = 1;
    for (size_t r = 0; r < runs.size(); ++r) {
        if (r > 0)
            s.keys.push_back(stroke(ms += 100, wrongFor(target), target));
        for (int i = 0; i < runs[r]; ++i) {
            s.keys.push_back(stroke(ms += 200, target, target));
            target = target % 9 + 1;
        }
    }
    return s;
}

// `rounds` rounds of the targets 1..9, digit d's correct key gapMs(d, round)
// after the previous one; a miss before each correct key of `missed`.
template <typename Gap>
StageRecord roundsStage(int rounds, Gap gapMs, int missed = 0)
{
    StageRecord s{1, 0, 0, StageVerdict::Clear, 30000, {}};
    int ms = 0;
    for (int r = 0; r < rounds; ++r) {
        for (int d = 1; d <= 9; ++d) {
            ms += gapMs(d, r);
            if (d == missed)
                s.keys.push_back(stroke(ms - 50, wrongFor(d), d));
            s.keys.push_back(stroke(ms, d, d));
        }
    }
    return s;
}

GameRecord played(GameMode mode, std::vector<StageRecord> stages)
{
    return gameOf(QDateTime(QDate(2026, 12, 8), QTime(21, 15), QTimeZone(9 * 3600)), mode, std::move(stages));
}

std::optional<int> longestOf(const std::vector<int>& runs)
{
    return *std::max_element(runs.begin(), runs.end());
}

}  // namespace

class HistoryFiguresTest : public QObject {
    Q_OBJECT

    HistoryFolder folder_;
    QString path() const { return folder_.path(); }

    // The recorder plays one stage: the digits 1..9 struck at 100 ms steps
    // from clock start, one key each, all correct.
    static void recordStage(qint64& now, int stage, int gameScoreBefore)
    {
        GameRecorder& rec = gameHistory();
        rec.clockStarted();
        for (int d = 1; d <= 9; ++d) {
            now += 100;
            rec.keyJudged(d, d, true);
        }
        now += 29970 - 900;
        rec.stageEnded(stage, 100 * stage, 50, gameScoreBefore, StageVerdict::Clear);
    }

private slots:
    void init() { folder_.enter(); }
    void cleanup() { folder_.leave(); }

    // A game read back is the game written: every rank E to S, no rank for a lost game, its mode, outcome and stages.
    void gamesReadBackWhole()
    {
        HistoryDatabase db(path());
        std::vector<GameRecord> games;
        for (int rank = 0; rank < kRankCount; ++rank) {
            GameRecord won = played(rank % 2 ? GameMode::Hard : GameMode::Normal, {});
            for (int stage = 1; stage <= kStageCount; ++stage)
                won.stages.push_back(runsStage(stage, 1000 * (rank + stage), {stage + rank, 4}));
            won.outcome = GameOutcome::Cleared;
            won.rank = rank;
            won.total = 4321 + rank;
            won.lastStage = kStageCount;
            games.push_back(won);
        }
        games.push_back(played(GameMode::Practice, {runsStage(1, 0, {20, 7})}));
        games.back().stages[0].verdict = StageVerdict::GiveUp;
        QVERIFY(saveGames(db, games));

        std::vector<GameRecord> back;
        QVERIFY(forEachGame(db, GameFilter{}, [&](const GameRecord& g) { back.push_back(g); }));
        QCOMPARE(back.size(), games.size());
        for (size_t i = 0; i < back.size(); ++i) {
            QCOMPARE(back[i].rank, games[i].rank);
            QCOMPARE(back[i].mode, games[i].mode);
            QCOMPARE(back[i].outcome, games[i].outcome);
            QCOMPARE(back[i].total, games[i].total);
            QCOMPARE(back[i].startedAt, games[i].startedAt);
            QCOMPARE(back[i].stages.size(), games[i].stages.size());
        }
        QCOMPARE(back[5].rank, std::optional<int>(5));   // S
        QCOMPARE(back[6].rank, std::nullopt);
        QCOMPARE(back[6].stages[0].verdict, StageVerdict::GiveUp);
        // Keys as struck: 20 correct, the miss (4 pressed for 3), 7 correct.
        const std::vector<KeyStroke>& keys = back[6].stages[0].keys;
        QCOMPARE(keys.size(), size_t(28));
        QCOMPARE((std::array{int(keys[20].digit), int(keys[20].target), int(keys[20].hit)}), (std::array{4, 3, 0}));
        QCOMPARE(keys[27].ms, 20 * 200 + 100 + 7 * 200);
    }

    // ステージ別ベストスコア: the best of each stage per mode, and the games and keys behind them; practice stages have none and count for no mode.
    void stageBestsLeavePracticeOut()
    {
        HistoryDatabase db(path());
        QVERIFY(saveGames(db, {played(GameMode::Normal, {runsStage(1, 1200, {5}), runsStage(2, 2500, {6}),
                                                    runsStage(3, 900, {7})}),
                          played(GameMode::Practice, {runsStage(1, 9000, {30}), runsStage(2, 8000, {30})}),
                          played(GameMode::Normal, {runsStage(1, 1500, {8}), runsStage(2, 2000, {9})}),
                          played(GameMode::Hard, {runsStage(1, 3000, {4}), runsStage(2, 100, {3}),
                                                  runsStage(3, 200, {2}), runsStage(4, 300, {1}),
                                                  runsStage(5, 400, {9})})}));
        const std::optional<ProgressData> data = readProgress(db);
        QVERIFY(data);
        using Bests = std::array<std::optional<int>, kStageCount>;
        QCOMPARE(data->stageBest[modeIndex(GameMode::Normal)], (Bests{1500, 2500, 900, std::nullopt, std::nullopt}));
        QCOMPARE(data->stageBest[modeIndex(GameMode::Hard)], (Bests{3000, 100, 200, 300, 400}));
        QCOMPARE(data->gameCount, 4);
        // What the page is drawn from: the three scored games and their keys
        // (each run's keys and one miss between runs), practice left out.
        QCOMPARE(data->scoredGames, 3);
        QCOMPARE(data->scoredKeys, qint64((5 + 6 + 7) + (8 + 9) + (4 + 3 + 2 + 1 + 9)));
    }

    // 前回のゲーム: the newest game's stages, each with its longest run of correct keys.
    void lastGameIsTheNewest()
    {
        HistoryDatabase db(path());
        const std::vector<int> oldest1{12, 3}, oldest2{7}, middle{2, 2, 10}, newest{4, 9, 2};
        QVERIFY(saveGames(db, {played(GameMode::Normal, {runsStage(1, 500, oldest1), runsStage(2, 600, oldest2)}),
                          played(GameMode::Hard, {runsStage(1, 700, middle)}),
                          played(GameMode::Practice, {runsStage(1, 0, {1})}),
                          played(GameMode::Hard, {runsStage(1, 800, newest)})}));
        const std::optional<InsightData> insight = readInsight(db);
        QVERIFY(insight);
        QCOMPARE(insight->lastGameStreaks[0], longestOf(newest));
        QCOMPARE(insight->lastGameStreaks[1], std::nullopt);   // the newest game had one stage
        const std::optional<ProgressData> progress = readProgress(db);
        QVERIFY(progress && progress->lastGame);
        QCOMPARE(progress->lastGame->total, 800);
        QCOMPARE(progress->lastGameStages.size(), size_t(1));
        QCOMPARE(progress->lastGameStages[0].hits, 4 + 9 + 2);
        QCOMPARE(progress->lastGame->misses, 2);
    }

    // Each page reads its own window: keystrokes per hour the last 50 games of every mode, the keypad pages the last 20 of one mode.
    void pagesReadTheirOwnWindows()
    {
        // Game i (1..60) has i correct keys in 30 s: i × 120 per hour. Every
        // fifth is practice (12), the rest alternate normal (odd i) and hard.
        HistoryDatabase db(path());
        std::vector<GameRecord> games;
        for (int i = 1; i <= 60; ++i) {
            const GameMode mode = i % 5 == 0 ? GameMode::Practice : (i % 2 ? GameMode::Normal : GameMode::Hard);
            StageRecord stage = runsStage(1, 10 * i, {i});
            stage.playMs = 30000;
            games.push_back(played(mode, {stage}));
        }
        QVERIFY(saveGames(db, games));
        const std::optional<InsightData> data = readInsight(db);
        QVERIFY(data);
        QCOMPARE(data->speeds.size(), size_t(50));
        QCOMPARE(data->speeds.front().speed.keysPerHour, std::optional<double>(11 * 120.0));
        QCOMPARE(data->speeds.back().speed.keysPerHour, std::optional<double>(60 * 120.0));
        QCOMPARE(data->speeds.back().mode, GameMode::Practice);
        QVERIFY(std::is_sorted(data->speeds.begin(), data->speeds.end(),
                               [](const SpeedPoint& a, const SpeedPoint& b) { return a.id < b.id; }));
        QCOMPARE(data->keypad[modeIndex(GameMode::Normal)].games, 20);
        QCOMPARE(data->keypad[modeIndex(GameMode::Hard)].games, 20);
        QCOMPARE(data->keypad[modeIndex(GameMode::Practice)].games, 12);
        // Normal's last 20: the odd i from 11 to 59 but 15, 25, 35, 45, 55.
        int keys = 0;
        for (int i = 11; i <= 59; i += 2)
            keys += i % 5 ? i : 0;
        QCOMPARE(data->keypad[modeIndex(GameMode::Normal)].keys, keys);
    }

    // Each mode's best keystrokes per hour is its fastest game of the whole history, from counts written with every stage; a file of the older format gets the counts rebuilt from its keys when first opened to write, and reads the same bests before that.
    void bestKphFromCountedKeys()
    {
        // Game i (1..40): a 30 s stage of runs over the digits 1-9 with a miss
        // between runs, i + 4 correct keys: (i + 4) × 120 per hour; every
        // tenth game has a second, empty stage of 30 s, which halves it.
        // Modes by i % 4: normal, hard, practice, then normal again.
        HistoryDatabase db(path());
        std::vector<GameRecord> games;
        const GameMode modes[4] = {GameMode::Normal, GameMode::Hard, GameMode::Practice, GameMode::Normal};
        for (int i = 1; i <= 40; ++i) {
            std::vector<StageRecord> stages = {runsStage(1, 10 * i, {i / 2, i - i / 2 + 4})};
            stages[0].playMs = 30000;
            if (i % 10 == 0)
                stages.push_back(StageRecord{2, 0, 1000, StageVerdict::Failure, 30000, {}});
            games.push_back(played(modes[i % 4], stages));
        }
        // Game 40 (normal, two stages): 44 × 60; game 39 (normal) is the best,
        // 43 × 120; hard's best game 37, practice's game 38.
        const double best[kGameModes] = {43 * 120.0, 37 * 120.0 + 4 * 120.0, 38 * 120.0 + 4 * 120.0};
        QVERIFY(saveGames(db, games));
        const auto bestsRead = [&](HistoryDatabase& from) {
            const std::optional<InsightData> data = readInsight(from);
            QVERIFY(data);
            for (int m = 0; m < kGameModes; ++m)
                QCOMPARE(data->bestKph[static_cast<size_t>(m)], std::optional<double>(best[m]));
            QVERIFY(!data->bestKph[static_cast<size_t>(modeIndex(GameMode::Entry))]);
        };
        bestsRead(db);
        // The counts agree with the keys, stage by stage, an empty stage 0 and 0.
        const QString agreeing = QStringLiteral(
            "SELECT count(*) FROM stages s JOIN stage_keys c ON c.stage_id = s.id"
            " WHERE c.keys = (SELECT count(*) FROM keys k WHERE k.stage_id = s.id)"
            " AND c.hits = (SELECT count(*) FROM keys k WHERE k.stage_id = s.id AND k.hit = 1)");
        QCOMPARE(scalar(path(), agreeing).toInt(), 44);
        db.close();

        // The older format: no counts, format number 1.
        rows(path(), QStringLiteral("DROP TABLE stage_keys"));
        rows(path(), QStringLiteral("PRAGMA user_version = 1"));
        QCOMPARE(scalar(path(), QStringLiteral("PRAGMA user_version")).toInt(), 1);
        HistoryDatabase older(path());
        bestsRead(older);   // from the keys themselves, nothing written
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'stage_keys'")).toInt(), 0);
        older.close();
        HistoryDatabase upgraded(path());
        QVERIFY(upgraded.open());
        QVERIFY(upgraded.canWrite());
        QCOMPARE(scalar(path(), QStringLiteral("PRAGMA user_version")).toInt(), kHistorySchemaVersion);
        QCOMPARE(scalar(path(), agreeing).toInt(), 44);
        bestsRead(upgraded);
        // Games saved after the upgrade are counted as they are written.
        QVERIFY(saveGames(upgraded, {played(GameMode::Hard, {runsStage(1, 5, {3, 2, 7})})}));
        QCOMPARE(scalar(path(), agreeing).toInt(), 45);
    }

    // The keypad's reaction time is the median, not the mean: a few slow rounds leave it where most keys are.
    void reactionTimeIsTheMedian()
    {
        // 25 rounds; digit d comes 100 + 10·d ms after the previous correct
        // key, but 2000 ms in rounds 0, 5, .., 20 (five of 25). Per digit the
        // mean is far above; the median stays 100 + 10·d.
        const StageRecord stage = roundsStage(25, [](int d, int r) { return r % 5 == 0 ? 2000 : 100 + 10 * d; });
        const KeypadInsight in = keypadInsight({played(GameMode::Normal, {stage})});
        for (int d = 1; d <= 9; ++d)
            QCOMPARE(in.digit(d).medianMs, std::optional<int>(100 + 10 * d));
        QCOMPARE(slowestDigit(in), std::optional<int>(9));
        // The stage's 224 gaps: 180 quick ones (110, 120, .., 190, twenty
        // each) and 44 of 2000; the 112th and 113th are both 160.
        QCOMPARE(stageFigures(stage).medianGapMs, std::optional<int>(160));
        QCOMPARE(gameMedianGapMs(played(GameMode::Normal, {stage})), std::optional<int>(160));
        QCOMPARE(stageFigures(stage).p90GapMs, std::optional<int>(2000));
    }

    // The practice result: each drilled digit's median of this run beside its figure before, faster where now is well below before and slower where well above.
    void practiceResultNowBesideBefore()
    {
        // Before: digit d at 300 + 10·d ms (25 rounds, figures for every digit).
        const KeypadInsight before =
            keypadInsight({played(GameMode::Normal, {roundsStage(25, [](int d, int) { return 300 + 10 * d; })})});
        // This run: digits 1..4 at 200 ms, 5..9 at 500 ms, 10 rounds (the
        // keys a change needs), 7 missed once before each of its correct keys.
        GameRecord run = played(GameMode::Practice, {roundsStage(10, [](int d, int) { return d <= 4 ? 200 : 500; }, 7)});
        const PracticeReport report = practiceReport(run, before);
        QCOMPARE(report.digits.size(), size_t(9));
        for (const DrilledDigit& digit : report.digits) {
            const int d = digit.digit;
            QCOMPARE(digit.beforeMs, std::optional<int>(300 + 10 * d));
            // Digit 1's first key opens the run: nine gaps left, all 200.
            QCOMPARE(digit.nowMs, std::optional<int>(d <= 4 ? 200 : 500));
            QCOMPARE(digit.faster(), d <= 4);
            QCOMPARE(digit.change(), d <= 4 ? DigitChange::Faster : DigitChange::Slower);
            QCOMPARE(digit.keys, d == 7 ? 20 : 10);
        }
        QCOMPARE(report.hits, 90);
        QCOMPARE(report.keys, 100);
        QCOMPARE(report.accuracy, std::optional<double>(90.0 / 100.0));
    }

    // The recorder's stages: a game whose row the file lost (removed by another program, its stages with it) is written again whole at the next stage's save; the quit notice counts only the stages still unwritten.
    void recorderKeepsEveryStage()
    {
        qint64 now = 0;
        setHistoryMonotonicClock([&now] { return now; });
        GameRecorder& rec = gameHistory();
        rec.gameStarted(GameMode::Normal);
        recordStage(now, 1, 0);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM stages")).toInt(), 1);
        rows(path(), QStringLiteral("DELETE FROM games"));
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM stages")).toInt(), 0);
        recordStage(now, 2, 100);
        QVERIFY(rec.takeNotices().empty());
        QCOMPARE(rows(path(), QStringLiteral("SELECT stage FROM stages")), (QStringList{"1", "2"}));
        QCOMPARE(scalar(path(), QStringLiteral("SELECT group_concat(digit, '') FROM keys")).toString(),
                 QStringLiteral("123456789123456789"));
        QCOMPARE(scalar(path(), QStringLiteral("SELECT total FROM games")).toInt(), 300 * kScoreUnit);
        // Another program holds the file from here on: stage 3 alone waits.
        Holder other(path());
        QVERIFY(other.held());
        recordStage(now, 3, 300);
        QCOMPARE(rec.takeNotices().size(), size_t(1));
        QCOMPARE(rec.finish(), 1);
        other.release();
        QCOMPARE(rows(path(), QStringLiteral("SELECT stage FROM stages")), (QStringList{"1", "2"}));
    }
};

QTEST_GUILESS_MAIN(HistoryFiguresTest)
#include "test_history_figures.moc"
