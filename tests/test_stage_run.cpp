// The rules of a stage in play, without any window or event loop: a digit
// judged against the queue, the gauge, the points and the new digit drawn
// on a hit; the clock to time-up, giving up, the verdict and a whole game.
#include "platform/system.h"
#include "play/stage_run.h"

#include <QtTest>
#include <deque>
#include <memory>

namespace {

// A stage 1 with the given key range and gauge step and the queue 1..6.
GameState stage(int keyRange, double gaugeStep)
{
    GameState m;
    m.Stage = 1;
    m.StageKeyRange[1] = keyRange;
    m.StageGaugeStep[1] = gaugeStep;
    m.KeyQueue = {1, 2, 3, 4, 5, 6, 0};
    return m;
}

// Lit blocks after a run of judgements, as the screen paints them: '1' lit.
QString paint(QString blocks, const Judgement& j)
{
    if (j.gaugeEmptied)
        blocks.fill(QLatin1Char('0'));
    for (int i = 0; i < kGaugeFull; ++i)
        if (j.lightUp.test(static_cast<size_t>(i)))
            blocks[i] = QLatin1Char('1');
    return blocks;
}

// A game state as start-up leaves it from the default test data: key ranges
// 3, 6, 9, 9, 9, gauge steps 1 but 0.5 in the Final, quotas in score units.
GameState gameState(std::array<int, kStageCount + 1> quotas = {0, 100, 200, 300, 400, 500})
{
    GameState m;
    for (int s = 1; s <= kStageCount; ++s) {
        m.StageKeyRange[s] = s == 1 ? 3 : s == 2 ? 6 : 9;
        m.StageGaugeStep[s] = s == kStageCount ? 0.5 : 1;
        m.StageQuota[s] = quotas[size_t(s)];
        m.StageTimeLimit[s] = kStageTimeLimitTens;
    }
    return m;
}

// Draws that walk through every digit of a 9-key range: 1, 2, .., 9, 1, ..
void cycleDigits()
{
    auto next = std::make_shared<int>(0);
    setRandomSource([next] { return ((*next)++ % 9 + 0.5) / 9.0; });
}

// Plays one stage of the model: set-up, start, `hits` correct keys with a
// miss (the digit after the target) after every `missEvery` hits, then the
// 30 ticks.
StageResult playStage(GameState& m, int hits, int missEvery = 0, bool giveUp = false)
{
    m.Stage += 1;
    StageRun run(m);
    run.setUp();
    run.start();
    for (int i = 1; i <= hits; ++i) {
        run.key(m.KeyQueue[0]);
        if (missEvery > 0 && i % missEvery == 0)
            run.key(m.KeyQueue[0] % 9 + 1);
    }
    if (giveUp)
        run.giveUp();
    else
        while (!run.tick().timeUp) {}
    return run.finish();
}

}  // namespace

class StageRunTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { setRandomSource(nullptr); }

    // A hit moves the queue on and draws the new digit from the stage's key
    // range; a miss changes neither queue nor score and empties the gauge.
    void hitAndMiss()
    {
        GameState m = stage(9, 1);
        std::deque<double> draws{0.99, 0.0, 0.5};
        setRandomSource([&draws] { const double r = draws.front(); draws.pop_front(); return r; });
        StageRun run(m);

        Judgement j = run.key(1);
        QVERIFY(j.hit);
        QCOMPARE(j.target, 1);
        QCOMPARE(j.newDigit, 9);
        QCOMPARE(j.points, 1);
        QCOMPARE(m.KeyQueue, (std::array<int, kQueueSlots>{2, 3, 4, 5, 6, 9, 9}));
        QCOMPARE(j.lightUp.to_string(), std::string("0000000001"));
        QVERIFY(!j.gaugeEmptied);

        for (int d = 1; d <= 9; ++d) {
            if (d == 2)
                continue;
            const Judgement miss = run.key(d);
            QVERIFY(!miss.hit);
            QCOMPARE(miss.target, 2);
            QCOMPARE(miss.points, 0);
            QVERIFY(miss.gaugeEmptied && miss.lightUp.none());
            QCOMPARE(m.KeyQueue[0], 2);
            QCOMPARE(m.StageScore, 1);
            QCOMPARE(m.GaugeLevel, 0.0);
            QCOMPARE(m.PointsPerHit, 0);
        }
        QCOMPARE(run.key(2).newDigit, 1);
        QCOMPARE(run.key(3).newDigit, 5);
        QCOMPARE(m.KeyQueue, (std::array<int, kQueueSlots>{4, 5, 6, 9, 1, 5, 5}));
        QCOMPARE(m.StageScore, 1 + 1 + 2);
    }

    // A step of 1.5 lights only the blocks of whole levels (3, 6, 9), keeps
    // the points of the last whole level, and a jump past 11 holds the gauge
    // full with every block lit and the top points.
    void gaugeOfAFractionalStep()
    {
        GameState m = stage(9, 1.5);
        setRandomSource([] { return 0.0; });
        m.KeyQueue.fill(1);
        StageRun run(m);
        QString blocks(kGaugeFull, QLatin1Char('0'));
        std::vector<int> points;
        for (int k = 0; k < 8; ++k) {
            const Judgement j = run.key(1);
            blocks = paint(blocks, j);
            points.push_back(j.points);
        }
        QCOMPARE(points, (std::vector<int>{0, 3, 3, 10, 10, 24, 24, 30}));
        QCOMPARE(blocks, QStringLiteral("1111111111"));
        QCOMPARE(m.GaugeLevel, double(kGaugeFull));
        QCOMPARE(m.StageScore, 104);
        blocks = paint(blocks, run.key(2));
        QCOMPARE(blocks, QStringLiteral("0000000000"));
    }

    // A stage's clock: 29 ticks count 30 seconds down to 1 and move the
    // marker a second each; the 30th ends play with the verdict as it stands.
    void clockToTimeUp()
    {
        GameState m = gameState();
        m.Stage = 3;
        cycleDigits();
        StageRun run(m);
        run.setUp();
        QCOMPARE(m.ClockTens * kSecondsPerTen + m.ClockUnits, kStageSeconds);
        QCOMPARE(m.KeyQueue, (std::array<int, kQueueSlots>{1, 2, 3, 4, 5, 6, 0}));
        QCOMPARE(m.PlayActive, 0);
        run.start();
        QCOMPARE(m.PlayActive, 1);
        std::vector<int> remaining, elapsed;
        ClockTick t;
        while (!(t = run.tick()).timeUp) {
            remaining.push_back(t.remaining);
            elapsed.push_back(t.elapsed);
        }
        QCOMPARE(int(remaining.size()), kStageSeconds - 1);
        QCOMPARE(remaining.front(), 29);
        QCOMPARE(remaining.back(), 1);
        QCOMPARE(elapsed.back(), 28);
        QCOMPARE(t.elapsed, 29);
        QCOMPARE(m.PlayActive, 0);
        QCOMPARE(m.PlayOver, 1);
        QCOMPARE(run.verdict(), StageVerdict::Failure);
    }

    // The verdict and what follows: the quota reached (equal is enough)
    // clears, one unit short fails, giving up is a give-up whatever the
    // score; a stage best beaten is kept even on a lost stage; the game
    // total grows by the stage score.
    void verdicts()
    {
        cycleDigits();
        struct Case {
            int quota, hits;
            bool giveUp;
            StageVerdict verdict;
        };
        // Ten hits from an empty gauge: 1+2+3+5+7+10+14+19+24+30 = 115 units.
        for (const Case c : {Case{115, 10, false, StageVerdict::Clear}, Case{116, 10, false, StageVerdict::Failure},
                             Case{0, 10, true, StageVerdict::GiveUp}}) {
            GameState m = gameState({0, 0, c.quota, 0, 0, 0});
            m.Stage = 1;
            m.GameScore = 40;
            m.HighScores[2] = 100;
            const StageResult r = playStage(m, c.hits, 0, c.giveUp);
            QCOMPARE(m.StageScore, 115);
            QCOMPARE(r.verdict, c.verdict);
            QVERIFY(r.bestBeaten);
            QCOMPARE(m.HighScores[2], 115);
            QCOMPARE(r.gameTotal, 155);
            QCOMPARE(m.GameScore, 155);
            QCOMPARE(r.gameEnd.has_value(), c.verdict != StageVerdict::Clear);
            QCOMPARE(m.Result.verdict, c.verdict);
        }
    }

    // A whole game of five stages to its rank, the hard mode's slots: each
    // stage cleared with misses that empty the gauge, the Final's half-step
    // gauge scoring nothing on its first hit after a miss; the fifth stage
    // ends the game won with the rank of the total.
    void wholeGame()
    {
        cycleDigits();
        GameState m = gameState({0, 500, 500, 500, 500, 500});
        m.ScoreSlotBase = kHardSlotBase;
        std::vector<int> scores;
        StageResult r;
        for (int s = 1; s <= kStageCount; ++s) {
            r = playStage(m, 60, 20);
            scores.push_back(m.StageScore);
            QCOMPARE(r.verdict, StageVerdict::Clear);
            QCOMPARE(m.HighScores[kHardSlotBase + s], m.StageScore);
            QCOMPARE(m.HighScores[s], 0);
            QCOMPARE(r.gameEnd.has_value(), s == kStageCount);
        }
        // Three runs of 20: 115 + 10 × 30 each in stages 1-4.
        QCOMPARE(scores, (std::vector<int>{1245, 1245, 1245, 1245, scores[4]}));
        // The Final: 0.5 a hit; levels 1..10 at hits 2, 4, .., 20, nothing on odd hits but the kept points.
        QCOMPARE(scores[4], 3 * (0 + 1 + 1 + 2 + 2 + 3 + 3 + 5 + 5 + 7 + 7 + 10 + 10 + 14 + 14 + 19 + 19 + 24 + 24 + 30));
        QCOMPARE(r.gameEnd, std::optional(GameOutcome::Cleared));
        QCOMPARE(r.gameTotal, 4 * 1245 + scores[4]);
        QCOMPARE(r.rank, std::optional(rankOf(r.gameTotal)));
        StageRun run(m);
        QVERIFY(run.keepGameBest());
        QCOMPARE(m.HighScores[kHardSlotBase], r.gameTotal);
        QVERIFY(!run.keepGameBest());
    }

    // A practice stage runs through the same model with no quota and no
    // best: played out it clears, whatever the score, and no slot or game
    // total changes; given up it is a give-up.
    void practiceStage()
    {
        cycleDigits();
        for (const bool giveUp : {false, true}) {
            GameState m = gameState();
            m.Practice = 1;
            m.HighScores.fill(0);
            const StageResult r = playStage(m, 3, 1, giveUp);
            QCOMPARE(m.StageScore, 3);
            QCOMPARE(r.verdict, giveUp ? StageVerdict::GiveUp : StageVerdict::Clear);
            QVERIFY(!r.bestBeaten);
            QCOMPARE(m.HighScores, (std::array<int, kScoreSlots>{}));
            QCOMPARE(m.GameScore, 0);
            QCOMPARE(r.gameEnd, std::optional(giveUp ? GameOutcome::Lost : GameOutcome::Cleared));
            QVERIFY(!r.rank);
        }
    }
};

QTEST_GUILESS_MAIN(StageRunTest)
#include "test_stage_run.moc"
