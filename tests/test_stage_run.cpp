// The rules of a stage in play, without any window: a digit judged against
// the queue, the gauge, the points and the new digit drawn on a hit.
#include "platform/system.h"
#include "play/stage_run.h"

#include <QtTest>
#include <deque>

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

        Judgement j = run.judge(1);
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
            const Judgement miss = run.judge(d);
            QVERIFY(!miss.hit);
            QCOMPARE(miss.target, 2);
            QCOMPARE(miss.points, 0);
            QVERIFY(miss.gaugeEmptied && miss.lightUp.none());
            QCOMPARE(m.KeyQueue[0], 2);
            QCOMPARE(m.StageScore, 1);
            QCOMPARE(m.GaugeLevel, 0.0);
            QCOMPARE(m.PointsPerHit, 0);
        }
        QCOMPARE(run.judge(2).newDigit, 1);
        QCOMPARE(run.judge(3).newDigit, 5);
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
            const Judgement j = run.judge(1);
            blocks = paint(blocks, j);
            points.push_back(j.points);
        }
        QCOMPARE(points, (std::vector<int>{0, 3, 3, 10, 10, 24, 24, 30}));
        QCOMPARE(blocks, QStringLiteral("1111111111"));
        QCOMPARE(m.GaugeLevel, double(kGaugeFull));
        QCOMPARE(m.StageScore, 104);
        blocks = paint(blocks, run.judge(2));
        QCOMPARE(blocks, QStringLiteral("0000000000"));
    }
};

QTEST_GUILESS_MAIN(StageRunTest)
#include "test_stage_run.moc"
