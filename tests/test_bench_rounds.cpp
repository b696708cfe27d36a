// The benchmark's rounds: programs take every place in turn, and a ratio
// taken round by round is not moved by the machine slowing down.
#include "bench/rounds.h"

#include <QTest>

class BenchRoundsTest : public QObject {
    Q_OBJECT
private slots:
    // Over as many recorded rounds as programs, each program is launched
    // once in every place; the first round runs them all unrecorded.
    void everyProgramTakesEveryPlace()
    {
        constexpr int kPrograms = 4;
        std::vector<std::vector<int>> places(kPrograms, std::vector<int>(kPrograms, 0));
        std::vector<bool> recorded;
        for (int round = 0; round <= kPrograms; ++round) {
            int place = 0;
            std::vector<std::function<void(bool)>> launches;
            for (int p = 0; p < kPrograms; ++p)
                launches.push_back([&, p, round](bool record) {
                    if (round > 0)
                        ++places[p][place];
                    recorded.push_back(record);
                    ++place;
                });
            inTurn(round, launches);
            QCOMPARE(place, kPrograms);
        }
        for (int p = 0; p < kPrograms; ++p)
            QCOMPARE(places[p], std::vector<int>(kPrograms, 1));
        QCOMPARE(std::count(recorded.begin(), recorded.end(), false), kPrograms);
        QVERIFY(std::all_of(recorded.begin() + kPrograms, recorded.end(), [](bool r) { return r; }));
    }

    // A program 10 % slower in every round reads 1.10 round by round while
    // the machine doubles its times; rounds are paired, not sorted apart;
    // unpaired samples give no ratio.
    void ratioIsTakenRoundByRound()
    {
        const std::vector<double> machine = {20, 24, 30, 36, 40};
        std::vector<double> slower;
        for (double t : machine)
            slower.push_back(t * 1.1);
        const std::optional<PairedRatio> steady = pairedRatio(slower, machine);
        QVERIFY(steady);
        QCOMPARE(qRound(steady->median * 100), 110);
        QCOMPARE(qRound(steady->firstQuartile * 100), 110);
        QCOMPARE(qRound(steady->thirdQuartile * 100), 110);

        // Round by round 1.1, 0.5, 2.0, 0.9, 0.6; the medians alone would give 0.75.
        const std::optional<PairedRatio> mixed = pairedRatio({44, 10, 80, 27, 30}, {40, 20, 40, 30, 50});
        QVERIFY(mixed);
        QCOMPARE(qRound(mixed->median * 100), 90);
        QCOMPARE(qRound(mixed->firstQuartile * 100), 60);
        QCOMPARE(qRound(mixed->thirdQuartile * 100), 110);

        QVERIFY(!pairedRatio({1, 2, 3}, {1, 2}));
        QVERIFY(!pairedRatio({}, {}));
    }
};

QTEST_GUILESS_MAIN(BenchRoundsTest)
#include "test_bench_rounds.moc"
