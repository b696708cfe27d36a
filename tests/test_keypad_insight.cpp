// The insight figures of the play history: per digit reaction time and
// accuracy, the misses by shown and pressed digit, the slowest moves and
// keystrokes per hour, on small histories whose answers are worked out by
// hand in the comments; and their reading back from a file the game wrote.
#include "app/history_export.h"
#include "history/history_database.h"
#include "history/history_reader.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

KeyStroke key(int ms, int digit, int target)
{
    return KeyStroke{ms, static_cast<qint8>(digit), static_cast<qint8>(target), digit == target};
}

// `rounds` rounds of the targets 1..9 in order. The correct key of digit d
// comes 100 + 10·d ms after the previous correct key, except digit 1 after
// a 9 (the jump back across the keypad), which takes 400 ms. Misses, each
// struck just before the correct key of its round:
//   rounds 0-4: 8 pressed for 5;  rounds 0-2: 6 pressed for 2;  round 0: 4 pressed for 7.
StageRecord roundsStage(int rounds)
{
    StageRecord stage;
    stage.playMs = 30000;
    int ms = 500;
    bool first = true;
    for (int r = 0; r < rounds; ++r) {
        for (int d = 1; d <= 9; ++d) {
            ms += first ? 0 : (d == 1 ? 400 : 100 + 10 * d);
            first = false;
            if (d == 5 && r < 5)
                stage.keys.push_back(key(ms - 5, 8, 5));
            if (d == 2 && r < 3)
                stage.keys.push_back(key(ms - 5, 6, 2));
            if (d == 7 && r == 0)
                stage.keys.push_back(key(ms - 5, 4, 7));
            stage.keys.push_back(key(ms, d, d));
        }
    }
    return stage;
}

GameRecord gameOf(std::vector<StageRecord> stages)
{
    GameRecord game;
    game.stages = std::move(stages);
    return game;
}

}  // namespace

class TestKeypadInsight : public QObject {
    Q_OBJECT
private slots:
    // Reaction time per digit is the median gap to its correct key; accuracy
    // is its correct keys among all keys struck while it was the target.
    void digitFigures()
    {
        const KeypadInsight in = keypadInsight({gameOf({roundsStage(20)})});
        // 20 rounds × 9 correct keys + 5 + 3 + 1 misses.
        QCOMPARE(in.games, 1);
        QCOMPARE(in.keys, 189);
        // Digit 1: the stage's first key has no gap before it; its other 19
        // come after a 9, at 400 ms each: median 400.
        QCOMPARE(in.digit(1).medianMs, std::optional<int>(400));
        // Digits 2..9 come 100 + 10·d ms after the previous correct key.
        QCOMPARE(in.digit(2).medianMs, std::optional<int>(120));
        QCOMPARE(in.digit(9).medianMs, std::optional<int>(190));
        // Digit 5: 20 correct of 25 struck = 0.8; digit 2: 20 of 23; digit 9: 20 of 20.
        QCOMPARE(in.digit(5).keys, 25);
        QCOMPARE(*in.digit(5).accuracy, 0.8);
        QCOMPARE(*in.digit(2).accuracy, 20.0 / 23.0);
        QCOMPARE(*in.digit(9).accuracy, 1.0);
        QCOMPARE(slowestDigit(in), std::optional<int>(1));
        QCOMPARE(leastAccurateDigit(in), std::optional<int>(5));
    }

    // A median of an even count is the mean of the two middle gaps; keys
    // after a miss count from the previous correct key, not the miss.
    void evenMedianAndMissedTarget()
    {
        // Target 3 all stage: the first at 1000, then 20 correct keys whose
        // gaps are 200 (ten times) and 300 (ten times), a miss (pressed 9)
        // 50 ms before each 300 one. 20 gaps: middle two 200 and 300 → 250.
        StageRecord stage;
        stage.playMs = 20000;
        int ms = 1000;
        stage.keys.push_back(key(ms, 3, 3));
        for (int i = 0; i < 20; ++i) {
            const int gap = i % 2 == 0 ? 200 : 300;
            ms += gap;
            if (gap == 300)
                stage.keys.push_back(key(ms - 50, 9, 3));
            stage.keys.push_back(key(ms, 3, 3));
        }
        const KeypadInsight in = keypadInsight({gameOf({stage})});
        QCOMPARE(in.digit(3).medianMs, std::optional<int>(250));
        // 21 correct of 31 struck.
        QCOMPARE(*in.digit(3).accuracy, 21.0 / 31.0);
        QCOMPARE(in.missCount(3, 9), 10);
        // The only move is 3 → 3, 20 times, median 250.
        QCOMPARE(in.slowMoves.size(), size_t(1));
        QCOMPARE(in.slowMoves[0].from, 3);
        QCOMPARE(in.slowMoves[0].to, 3);
        QCOMPARE(in.slowMoves[0].medianMs, 250);
        QCOMPARE(in.slowMoves[0].count, 20);
    }

    // Fewer than 20 keys of a digit: no figure for it.
    void tooFewKeys()
    {
        // 19 rounds: digits without misses have 19 keys, no figure; digit 5
        // has 19 + 5 = 24, digit 2 19 + 3 = 22, digit 7 19 + 1 = 20.
        const KeypadInsight in = keypadInsight({gameOf({roundsStage(19)})});
        for (int d : {1, 3, 4, 6, 8, 9}) {
            QVERIFY2(!in.digit(d).medianMs && !in.digit(d).accuracy, qPrintable(QString::number(d)));
            QCOMPARE(in.digit(d).keys, 19);
        }
        QCOMPARE(*in.digit(7).accuracy, 19.0 / 20.0);
        QCOMPARE(in.digit(7).medianMs, std::optional<int>(170));
        QCOMPARE(leastAccurateDigit(in), std::optional<int>(5));  // 19/24 below 19/22 and 19/20
        // Two games of 9 rounds add up: digit 9 has 18 keys, still no
        // figure; digit 7 has 2 × (9 + 1) = 20, median 170, the slowest
        // with figures (5: 2 × 14 = 28 keys at 150; 2: 24 keys at 120).
        const KeypadInsight two = keypadInsight({gameOf({roundsStage(9)}), gameOf({roundsStage(9)})});
        QCOMPARE(two.games, 2);
        QVERIFY(!two.digit(9).medianMs);
        QCOMPARE(*two.digit(5).accuracy, 18.0 / 28.0);
        QCOMPARE(slowestDigit(two), std::optional<int>(7));
    }

    // Misses are counted by the digit shown and the digit pressed; the
    // three most frequent are named.
    void missesAndTopThree()
    {
        // Two games of 20 rounds: 8 for 5 ten times, 6 for 2 six times, 4
        // for 7 twice; nothing else was missed.
        const KeypadInsight in = keypadInsight({gameOf({roundsStage(20)}), gameOf({roundsStage(20)})});
        QCOMPARE(in.missCount(5, 8), 10);
        QCOMPARE(in.missCount(8, 5), 0);
        QCOMPARE(in.missCount(2, 6), 6);
        QCOMPARE(in.missCount(7, 4), 2);
        int all = 0;
        for (const auto& row : in.misses)
            for (int n : row)
                all += n;
        QCOMPARE(all, 18);
        const std::vector<Miss> top = topMisses(in);
        QCOMPARE(top.size(), size_t(3));
        QCOMPARE((std::array{top[0].shown, top[0].pressed, top[0].count}), (std::array{5, 8, 10}));
        QCOMPARE((std::array{top[1].shown, top[1].pressed, top[1].count}), (std::array{2, 6, 6}));
        QCOMPARE((std::array{top[2].shown, top[2].pressed, top[2].count}), (std::array{7, 4, 2}));
    }

    // The slowest moves from one target to the next, by median, with how
    // often they came; a move seen fewer than three times is not ranked.
    void slowestMoves()
    {
        // In 20 rounds: 9 → 1 came 19 times at 400 ms; d-1 → d came 20
        // times at 100 + 10·d. Slowest five: 9→1 400, 8→9 190, 7→8 180,
        // 6→7 170, 5→6 160.
        StageRecord stage = roundsStage(20);
        // Two extra 9 → 4 moves at 2000 ms: too rare to rank.
        const int end = stage.keys.back().ms;
        stage.keys.push_back(key(end + 2000, 4, 4));
        stage.keys.push_back(key(end + 2100, 9, 9));
        stage.keys.push_back(key(end + 4100, 4, 4));
        const KeypadInsight in = keypadInsight({gameOf({stage})});
        QCOMPARE(in.slowMoves.size(), size_t(5));
        const int expected[5][3] = {{9, 1, 400}, {8, 9, 190}, {7, 8, 180}, {6, 7, 170}, {5, 6, 160}};
        for (int i = 0; i < 5; ++i) {
            QCOMPARE(in.slowMoves[static_cast<size_t>(i)].from, expected[i][0]);
            QCOMPARE(in.slowMoves[static_cast<size_t>(i)].to, expected[i][1]);
            QCOMPARE(in.slowMoves[static_cast<size_t>(i)].medianMs, expected[i][2]);
        }
        QCOMPARE(in.slowMoves[0].count, 19);
        QCOMPARE(in.slowMoves[1].count, 20);
    }

    // Keystrokes per hour: correct keys × 3600 ÷ seconds played, over the
    // stages of one game; accuracy beside it.
    void keysPerHour()
    {
        // 180 correct of 189 in 30 s: 180 × 3600 / 30 = 21,600 per hour.
        const GameSpeed one = gameSpeed(gameOf({roundsStage(20)}));
        QCOMPARE(*one.keysPerHour, 21600.0);
        QCOMPARE(*one.accuracy, 180.0 / 189.0);
        QCOMPARE(one.keys, 189);
        // Two stages: 180 correct in 30 s and 27 in 15 s (3 rounds, 3 + 3 + 1
        // misses): 207 correct in 45 s → 207 × 80 = 16,560 per hour.
        StageRecord shortStage = roundsStage(3);
        shortStage.playMs = 15000;
        const GameSpeed two = gameSpeed(gameOf({roundsStage(20), shortStage}));
        QCOMPARE(*two.keysPerHour, 16560.0);
        QCOMPARE(*two.accuracy, 207.0 / (189.0 + 34.0));
        // Nothing played: no figures.
        const GameSpeed none = gameSpeed(gameOf({StageRecord{}}));
        QVERIFY(!none.keysPerHour && !none.accuracy);
    }

    // Read back from a file the game wrote: each mode's keypad from its own
    // games, the speeds of both modes in the order played.
    void readFromFile()
    {
        QTemporaryDir dir;
        HistoryDatabase db(dir.filePath(QStringLiteral("history.sqlite")));
        QVERIFY(db.open());
        // Games 1 and 3 normal (20 rounds each), game 2 hard (3 rounds, 15 s).
        for (int i = 1; i <= 3; ++i) {
            GameRecord g;
            g.startedAt = QDateTime(QDate(2026, 12, 7), QTime(10, i), QTimeZone(9 * 3600));
            g.mode = i == 2 ? GameMode::Hard : GameMode::Normal;
            StageRecord s = roundsStage(i == 2 ? 3 : 20);
            s.stage = 1;
            s.playMs = i == 2 ? 15000 : 30000;
            g.stages.push_back(s);
            size_t saved = 0;
            QVERIFY(db.saveGame(g, saved));
        }
        const std::optional<InsightData> data = readInsight(db);
        QVERIFY(data);
        // Normal: two games of 189 keys; 8 for 5 ten times.
        QCOMPARE(data->keypad[0].games, 2);
        QCOMPARE(data->keypad[0].keys, 378);
        QCOMPARE(data->keypad[0].missCount(5, 8), 10);
        // Hard: one game of 27 correct + 7 misses, too few keys for figures.
        QCOMPARE(data->keypad[1].games, 1);
        QCOMPARE(data->keypad[1].keys, 34);
        QVERIFY(!slowestDigit(data->keypad[1]));
        // Speeds in play order: 21,600, then the hard game 27 × 3600 / 15
        // = 6,480, then 21,600.
        QCOMPARE(data->speeds.size(), size_t(3));
        QCOMPARE(data->speeds[1].mode, GameMode::Hard);
        QCOMPARE(*data->speeds[0].speed.keysPerHour, 21600.0);
        QCOMPARE(*data->speeds[1].speed.keysPerHour, 6480.0);
        QCOMPARE(data->speeds[2].mode, GameMode::Normal);
        QVERIFY(data->speeds[0].id < data->speeds[1].id && data->speeds[1].id < data->speeds[2].id);
        // The last game's one stage: no miss ever breaks the run of digits
        // other than 5, 2 and 7; the longest run is from round 5 on (after
        // the last 8-for-5 miss): 5..9 of round 4 and all of rounds 5..19 =
        // 5 + 15 × 9 = 140.
        QCOMPARE(data->lastGameStreaks[0], std::optional<int>(140));
        QVERIFY(!data->lastGameStreaks[1]);

        // The keys export: a header, then 189 + 34 + 189 rows in the order
        // struck; game 1 opens with the miss-free 1 at 500 ms, game 2
        // (hard) with 1 at 500 and then 6 pressed for 2 at 615 (500 + 120 - 5).
        QBuffer csv;
        csv.open(QIODevice::WriteOnly);
        QString message;
        QVERIFY(exportKeysCsv(db.path(), csv, message));
        QVERIFY(message.isEmpty());
        const QList<QByteArray> lines = csv.data().split('\n');
        QCOMPARE(lines.size(), 1 + 189 + 34 + 189 + 1);   // the last line ends too
        QCOMPARE(lines[0], QByteArray("game,stage,mode,ms,digit,target,hit"));
        QCOMPARE(lines[1], QByteArray("1,1,normal,500,1,1,1"));
        QCOMPARE(lines[1 + 189], QByteArray("2,1,hard,500,1,1,1"));
        QCOMPARE(lines[2 + 189], QByteArray("2,1,hard,615,6,2,0"));
        QVERIFY(lines[lines.size() - 1].isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestKeypadInsight)
#include "test_keypad_insight.moc"
