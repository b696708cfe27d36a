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

KeyStroke key(int ms, int digit, int target)
{
    return KeyStroke{ms, static_cast<qint8>(digit), static_cast<qint8>(target), digit == target};
}

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
            s.keys.push_back(key(ms += 100, wrongFor(target), target));
        for (int i = 0; i < runs[r]; ++i) {
            s.keys.push_back(key(ms += 200, target, target));
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
                s.keys.push_back(key(ms - 50, wrongFor(d), d));
            s.keys.push_back(key(ms, d, d));
        }
    }
    return s;
}

GameRecord gameOf(GameMode mode, std::vector<StageRecord> stages)
{
    GameRecord g;
    g.startedAt = QDateTime(QDate(2026, 12, 8), QTime(21, 15), QTimeZone(9 * 3600));
    g.mode = mode;
    g.stages = std::move(stages);
    g.outcome = GameOutcome::Lost;
    for (const StageRecord& s : g.stages)
        g.total += s.score;
    g.lastStage = g.stages.empty() ? 0 : g.stages.back().stage;
    return g;
}

std::optional<int> longestOf(const std::vector<int>& runs)
{
    return *std::max_element(runs.begin(), runs.end());
}

// One statement against a file, through a connection of its own (another
// program), foreign keys enforced as the game does; the first value back.
QVariant probe(const QString& path, const QStringList& sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            q.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
            for (const QString& s : sql)
                if (q.exec(s) && q.next())
                    value = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return value;
}

}  // namespace

class HistoryFiguresTest : public QObject {
    Q_OBJECT

    HistoryFolder folder_;
    QString path() const { return folder_.path(); }

    bool save(HistoryDatabase& db, std::vector<GameRecord> games)
    {
        for (GameRecord& g : games) {
            size_t saved = 0;
            if (!db.saveGame(g, saved))
                return false;
        }
        return true;
    }

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
            GameRecord won = gameOf(rank % 2 ? GameMode::Hard : GameMode::Normal, {});
            for (int stage = 1; stage <= kStageCount; ++stage)
                won.stages.push_back(runsStage(stage, 1000 * (rank + stage), {stage + rank, 4}));
            won.outcome = GameOutcome::Cleared;
            won.rank = rank;
            won.total = 4321 + rank;
            won.lastStage = kStageCount;
            games.push_back(won);
        }
        games.push_back(gameOf(GameMode::Practice, {runsStage(1, 0, {20, 7})}));
        games.back().stages[0].verdict = StageVerdict::GiveUp;
        QVERIFY(save(db, games));

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
        QVERIFY(save(db, {gameOf(GameMode::Normal, {runsStage(1, 1200, {5}), runsStage(2, 2500, {6}),
                                                    runsStage(3, 900, {7})}),
                          gameOf(GameMode::Practice, {runsStage(1, 9000, {30}), runsStage(2, 8000, {30})}),
                          gameOf(GameMode::Normal, {runsStage(1, 1500, {8}), runsStage(2, 2000, {9})}),
                          gameOf(GameMode::Hard, {runsStage(1, 3000, {4}), runsStage(2, 100, {3}),
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
        QVERIFY(save(db, {gameOf(GameMode::Normal, {runsStage(1, 500, oldest1), runsStage(2, 600, oldest2)}),
                          gameOf(GameMode::Hard, {runsStage(1, 700, middle)}),
                          gameOf(GameMode::Practice, {runsStage(1, 0, {1})}),
                          gameOf(GameMode::Hard, {runsStage(1, 800, newest)})}));
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
            games.push_back(gameOf(mode, {stage}));
        }
        QVERIFY(save(db, games));
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

    // The keypad's reaction time is the median, not the mean: a few slow rounds leave it where most keys are.
    void reactionTimeIsTheMedian()
    {
        // 25 rounds; digit d comes 100 + 10·d ms after the previous correct
        // key, but 2000 ms in rounds 0, 5, .., 20 (five of 25). Per digit the
        // mean is far above; the median stays 100 + 10·d.
        const StageRecord stage = roundsStage(25, [](int d, int r) { return r % 5 == 0 ? 2000 : 100 + 10 * d; });
        const KeypadInsight in = keypadInsight({gameOf(GameMode::Normal, {stage})});
        for (int d = 1; d <= 9; ++d)
            QCOMPARE(in.digit(d).medianMs, std::optional<int>(100 + 10 * d));
        QCOMPARE(slowestDigit(in), std::optional<int>(9));
        // The stage's 224 gaps: 180 quick ones (110, 120, .., 190, twenty
        // each) and 44 of 2000; the 112th and 113th are both 160.
        QCOMPARE(stageFigures(stage).medianGapMs, std::optional<int>(160));
        QCOMPARE(gameMedianGapMs(gameOf(GameMode::Normal, {stage})), std::optional<int>(160));
        QCOMPARE(stageFigures(stage).p90GapMs, std::optional<int>(2000));
    }

    // The practice result: each drilled digit's median of this run beside its figure before, and faster only where now is below before.
    void practiceResultNowBesideBefore()
    {
        // Before: digit d at 300 + 10·d ms (25 rounds, figures for every digit).
        const KeypadInsight before =
            keypadInsight({gameOf(GameMode::Normal, {roundsStage(25, [](int d, int) { return 300 + 10 * d; })})});
        // This run: digits 1..4 at 200 ms, 5..9 at 500 ms, 3 rounds, 7 missed
        // once before each of its correct keys.
        GameRecord run = gameOf(GameMode::Practice, {roundsStage(3, [](int d, int) { return d <= 4 ? 200 : 500; }, 7)});
        const PracticeReport report = practiceReport(run, before);
        QCOMPARE(report.digits.size(), size_t(9));
        for (const DrilledDigit& digit : report.digits) {
            const int d = digit.digit;
            QCOMPARE(digit.beforeMs, std::optional<int>(300 + 10 * d));
            // Digit 1's first key opens the run: two gaps left, both 200.
            QCOMPARE(digit.nowMs, std::optional<int>(d <= 4 ? 200 : 500));
            QCOMPARE(digit.faster(), d <= 4);
            QCOMPARE(digit.keys, d == 7 ? 6 : 3);
        }
        QCOMPARE(report.hits, 27);
        QCOMPARE(report.keys, 30);
        QCOMPARE(report.accuracy, std::optional<double>(27.0 / 30.0));
    }

    // A game whose row the file lost (removed by another program, its stages with it) is written again whole at the next stage's save.
    void lostStageRowsWrittenAgain()
    {
        qint64 now = 0;
        setHistoryMonotonicClock([&now] { return now; });
        GameRecorder& rec = gameHistory();
        rec.gameStarted(GameMode::Normal);
        recordStage(now, 1, 0);
        QCOMPARE(probe(path(), {QStringLiteral("SELECT count(*) FROM stages")}).toInt(), 1);
        probe(path(), {QStringLiteral("DELETE FROM games")});
        QCOMPARE(probe(path(), {QStringLiteral("SELECT count(*) FROM stages")}).toInt(), 0);
        recordStage(now, 2, 100);
        QVERIFY(rec.takeNotices().empty());
        QCOMPARE(probe(path(), {QStringLiteral("SELECT group_concat(stage) FROM stages")}).toString(),
                 QStringLiteral("1,2"));
        QCOMPARE(probe(path(), {QStringLiteral("SELECT group_concat(digit, '') FROM keys")}).toString(),
                 QStringLiteral("123456789123456789"));
        QCOMPARE(probe(path(), {QStringLiteral("SELECT total FROM games")}).toInt(), 300 * kScoreUnit);
    }

    // At exit, the quit notice counts the stages still unwritten: not those the file already holds.
    void quitCountsOnlyUnsavedStages()
    {
        qint64 now = 0;
        setHistoryMonotonicClock([&now] { return now; });
        GameRecorder& rec = gameHistory();
        rec.gameStarted(GameMode::Hard);
        recordStage(now, 1, 0);
        recordStage(now, 2, 100);
        // Another program holds the file from here on.
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(path());
        QVERIFY(other.open());
        QVERIFY(QSqlQuery(other).exec(QStringLiteral("BEGIN EXCLUSIVE")));
        recordStage(now, 3, 300);
        QCOMPARE(rec.takeNotices().size(), size_t(1));
        QCOMPARE(rec.finish(), 1);
        QVERIFY(QSqlQuery(other).exec(QStringLiteral("ROLLBACK")));
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));
        QCOMPARE(probe(path(), {QStringLiteral("SELECT group_concat(stage) FROM stages")}).toString(),
                 QStringLiteral("1,2"));
    }
};

QTEST_GUILESS_MAIN(HistoryFiguresTest)
#include "test_history_figures.moc"
