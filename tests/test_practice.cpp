// 苦手特訓 and its drills: the digit weights from a hand-made history
// (worked out by hand below), the draws that follow them, the drills of
// slow moves and of a chosen digit, the rule that tells a change from
// noise, and practice stages played from プレイ記録 that leave the score
// file alone, are stored as practice and return to their page.
#include "support/game_fixture.h"

#include "app/history_export.h"
#include "history/history_reader.h"
#include "history/practice_report.h"
#include "play/stage_run.h"
#include "screens/forms.h"
#include "screens/practice_result.h"
#include "screens/progress_window.h"
#include "state/module1.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QtTest>
#include <cmath>
#include <map>
#include <numeric>
#include <random>
#include <tuple>

namespace {

KeyStroke key(int ms, int digit, int target)
{
    return KeyStroke{ms, static_cast<qint8>(digit), static_cast<qint8>(target), digit == target};
}

// A game of one stage: `rounds` rounds through (digit, gap) pairs, each
// correct key gap ms after the previous one; on the first `missed[d]` rounds
// digit d is struck wrong (8 pressed) once before its correct key.
GameRecord roundsGame(GameMode mode, int rounds, std::vector<std::pair<int, int>> digits, std::map<int, int> missed = {})
{
    GameRecord game;
    game.mode = mode;
    game.startedAt = QDateTime::currentDateTime();
    StageRecord& stage = game.stages.emplace_back(StageRecord{1, 0, 0, StageVerdict::Clear, 30000, {}});
    for (int r = 0, ms = 0; r < rounds; ++r) {
        for (const auto& [d, gapMs] : digits) {
            ms += gapMs;
            if (r < missed[d])
                stage.keys.push_back(key(ms - 100, 8, d));
            stage.keys.push_back(key(ms, d, d));
        }
    }
    return game;
}

// The history, oldest first:
//   game 1 (normal): 30 keys of digit 1, 5,000 ms each: 21st from the end,
//     so not among the 20 games the weights look at (else digit 1 is slowest);
//   games 2-19: normal, a stage without keys;
//   game 20 (hard): 21 rounds of 1, 2, 3, 4 at 300, 350, 400, 450 ms;
//   game 21 (practice): 21 rounds of 5, 6, 7, 9 at 300, 300, 600, 400 ms,
//     9 missed once before each hit (accuracy 21/42 = 0.5); and 10 rounds of
//     8 at 300 ms in game 21's stage 2: 10 keys, too few for a figure.
// Costs, median × (2 − accuracy): 1: 300, 2: 350, 3: 400, 4: 450, 5: 300,
// 6: 300, 7: 600, 8: none, 9: 400 × 1.5 = 600. Cheapest 300, costliest 600:
// weight 1 + 2 × (cost − 300) ÷ 300, and 8 the middle, 2:
//   1: 1, 2: 4/3, 3: 5/3, 4: 2, 5: 1, 6: 1, 7: 3, 8: 2, 9: 3 (sum 16).
const double kExpected[9] = {1, 4.0 / 3, 5.0 / 3, 2, 1, 1, 3, 2, 3};

void writeHistory(const QString& path)
{
    std::vector<GameRecord> games;
    games.push_back(roundsGame(GameMode::Normal, 30, {{1, 5000}}));
    for (int g = 2; g <= 19; ++g)
        games.push_back(roundsGame(GameMode::Normal, 0, {}));
    games.push_back(roundsGame(GameMode::Hard, 21, {{1, 300}, {2, 350}, {3, 400}, {4, 450}}));
    games.push_back(roundsGame(GameMode::Practice, 21, {{5, 300}, {6, 300}, {7, 600}, {9, 400}}, {{9, 21}}));
    games.back().stages.push_back(roundsGame(GameMode::Practice, 10, {{8, 300}}).stages[0]);
    games.back().stages[1].stage = 2;
    HistoryDatabase db(path);
    for (GameRecord& game : games) {
        size_t saved = 0;
        QVERIFY(db.saveGame(game, saved));
    }
}

// The targets of a practice stage of `draws` hits, in the order asked for,
// drawn by the stage model from the weights in the state (a fixed-seed
// generator: the drills' draws follow the digit before them, which an
// evenly spread sequence would tie to the draw itself).
std::vector<int> playedTargets(GameFixture& fixture, int draws)
{
    GameState& m = Module1;
    m.Stage = 1;
    m.StageKeyRange[1] = 9;
    m.StageGaugeStep[1] = 1;
    std::mt19937 generator(42);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    fixture.randoms.clear();
    for (int i = 0; i < draws + kKeyRows + 1; ++i)
        fixture.randoms.push_back(uniform(generator));
    StageRun run(m);
    run.setUp();
    std::vector<int> targets;
    for (int i = 0; i < draws; ++i) {
        targets.push_back(m.KeyQueue[0]);
        run.key(m.KeyQueue[0]);
    }
    return targets;
}

// The share of consecutive targets that are one of the moves.
double moveShare(const std::vector<int>& targets, const std::vector<Move>& moves)
{
    int pairs = 0;
    for (size_t i = 1; i < targets.size(); ++i)
        for (const Move& mv : moves)
            pairs += mv.from == targets[i - 1] && mv.to == targets[i];
    return pairs / double(targets.size() - 1);
}

// How often each digit 0-9 comes among the targets.
std::array<int, 10> counted(const std::vector<int>& targets)
{
    std::array<int, 10> drawn{};
    for (int d : targets)
        ++drawn[size_t(d)];
    return drawn;
}

// Digit d came within `tolerance` (a fraction) of `wanted` times.
void checkShare(const std::array<int, 10>& drawn, int d, double wanted, double tolerance, const QString& what)
{
    QVERIFY2(std::abs(drawn[size_t(d)] - wanted) <= tolerance * wanted,
             qPrintable(QStringLiteral("%1: digit %2 came %3 times, %4 wanted").arg(what).arg(d).arg(drawn[size_t(d)]).arg(wanted)));
}

std::vector<Move> moves(std::initializer_list<std::pair<int, int>> list)
{
    std::vector<Move> out;
    for (const auto& [from, to] : list)
        out.push_back({from, to, 500, 5});
    return out;
}

}  // namespace

class TestPractice : public QObject {
    Q_OBJECT
private slots:
    // The weights: the last 20 games of every mode, slowest and most missed
    // digits kPracticeWeightRatio times the fastest; no history, all alike.
    void weightsFromTheHistory()
    {
        QTemporaryDir dir;
        writeHistory(dir.filePath(QStringLiteral("history.sqlite")));
        HistoryDatabase db(dir.filePath(QStringLiteral("history.sqlite")));
        const std::optional<KeypadInsight> figures = practiceFigures(db);
        QVERIFY(figures);
        QCOMPARE(figures->games, kPracticeGames);
        const std::vector<double> weights = practiceWeights(*figures);
        QCOMPARE(weights.size(), size_t(9));
        for (int d = 1; d <= 9; ++d)
            QVERIFY2(std::abs(weights[size_t(d - 1)] - kExpected[d - 1]) < 1e-9, qPrintable(QString::number(d)));
        for (double w : practiceWeights(KeypadInsight{}))
            QCOMPARE(w, 1.0);
    }

    // 10,000 digits drawn during play come within 5 % of their weights'
    // shares, whatever the stage's key range. The random numbers are an
    // evenly spread sequence (fractions of i × the golden ratio).
    void drawsFollowTheWeights()
    {
        GameFixture fixture;
        GameState& m = Module1;
        m.Stage = 1;
        m.StageKeyRange[1] = 3;
        m.StageGaugeStep[1] = 1;
        m.DigitWeights.assign(std::begin(kExpected), std::end(kExpected));
        m.KeyQueue.fill(1);
        constexpr int kDraws = 10000;
        for (int i = 1; i <= kDraws; ++i)
            fixture.randoms.push_back(std::fmod(i * 0.6180339887498949, 1.0));
        std::vector<int> digits;
        for (int i = 0; i < kDraws; ++i)
            digits.push_back(StageRun(m).key(m.KeyQueue[0]).newDigit);
        const std::array<int, 10> drawn = counted(digits);
        QCOMPARE(drawn[0], 0);
        for (int d = 1; d <= 9; ++d)
            checkShare(drawn, d, kDraws * kExpected[d - 1] / 16.0, 0.05, QStringLiteral("weak digits"));
    }

    // The drills' draws over 20,000 targets of a stage: a chosen digit comes
    // about half the time (never below 40 %) and the other eight keep the
    // weak digits' proportions; after the slow-move weights at least half of
    // the targets in a row are one of the moves, whichever moves over the
    // keypad (loops, pairs and a move to the same digit among them), and
    // every digit still comes; without moves the drill is the weak digits'.
    void drillDrawsKeepTheirShares()
    {
        GameFixture fixture;
        GameState& m = Module1;
        const std::vector<double> weak(std::begin(kExpected), std::end(kExpected));
        constexpr int kDraws = 20000;
        for (int chosen = 1; chosen <= 9; ++chosen) {
            m.DigitWeights = chosenDigitWeights(weak, chosen);
            m.DigitWeightsAfter.clear();
            const std::array<int, 10> drawn = counted(playedTargets(fixture, kDraws));
            const QString what = QStringLiteral("%1 chosen").arg(chosen);
            // between 40 % and 55 %
            checkShare(drawn, chosen, kDraws * 0.475, 0.075 / 0.475, what);
            const double others = 16.0 - kExpected[chosen - 1];
            for (int d = 1; d <= 9; ++d)
                if (d != chosen)
                    checkShare(drawn, d, (kDraws - drawn[size_t(chosen)]) * kExpected[d - 1] / others, 0.1, what);
        }

        // The last set's moves all leave 5 for digits that begin none: no
        // draw makes more than every other pair a move, and it comes close.
        const std::vector<Move> sets[] = {
            moves({{7, 3}, {3, 9}, {9, 1}, {1, 5}, {5, 8}}), moves({{9, 1}, {1, 9}, {3, 7}, {7, 3}, {5, 5}}),
            moves({{2, 8}, {8, 4}, {4, 6}, {6, 2}, {2, 6}}), moves({{1, 9}, {2, 8}, {3, 7}, {4, 6}, {5, 5}}),
            moves({{5, 1}, {5, 3}, {5, 7}, {5, 9}, {5, 2}}),
        };
        for (const std::vector<Move>& set : sets) {
            m.DigitWeights = weak;
            m.DigitWeightsAfter = slowMoveWeights(weak, set);
            QCOMPARE(m.DigitWeightsAfter.size(), size_t(9));
            const std::vector<int> targets = playedTargets(fixture, kDraws);
            const double share = moveShare(targets, set);
            const double least = &set == &sets[4] ? 0.45 : 0.5;
            QVERIFY2(share >= least, qPrintable(QStringLiteral("move %1→%2 first: %3 of pairs").arg(set[0].from).arg(set[0].to).arg(share)));
            // The share worked out for the rows is the share played.
            QVERIFY(std::abs(movePairShare(m.DigitWeightsAfter, set) - share) < 0.02);
            const std::array<int, 10> drawn = counted(targets);
            for (int d = 1; d <= 9; ++d)
                QVERIFY2(drawn[size_t(d)] > kDraws / 400, qPrintable(QStringLiteral("digit %1 came %2 times").arg(d).arg(drawn[size_t(d)])));
        }
        QVERIFY(slowMoveWeights(weak, {}).empty());
    }

    // A digit's median counts as changed only when this run and the figure
    // before both have 10 keys of it and it moved by 5 % and by 15 ms: at
    // each edge one step short is no change; faster and slower alike; and
    // a run's report carries each digit's accuracy and its top misses.
    void changeOnlyBeyondNoise()
    {
        // Keys now and before; a median faster and one slower than the one before; whether they count.
        const int edges[][6] = {{10, 10, 950, 1050, 1000, 1}, {9, 10, 950, 1050, 1000, 0}, {10, 9, 950, 1050, 1000, 0},
                                {10, 10, 951, 1049, 1000, 0} /* 4.9 % */, {10, 10, 185, 215, 200, 1} /* 15 ms, 7.5 % */,
                                {10, 10, 186, 214, 200, 0} /* 14 ms */};
        for (const auto& [keys, keysBefore, faster, slower, before, changed] : edges) {
            const QByteArray row =
                QStringLiteral("%1 of %2 keys, %3 or %4 from %5 ms").arg(keys).arg(keysBefore).arg(faster).arg(slower).arg(before).toUtf8();
            QVERIFY2(digitChange(keys, faster, keysBefore, before) == (changed ? DigitChange::Faster : DigitChange::None), row);
            QVERIFY2(digitChange(keys, slower, keysBefore, before) == (changed ? DigitChange::Slower : DigitChange::None), row);
        }
        QCOMPARE(digitChange(10, std::nullopt, 10, 1000), DigitChange::None);
        QCOMPARE(digitChange(10, 500, 10, std::nullopt), DigitChange::None);

        // Each digit 1-9 ten times, every gap 400 ms but 7's 600 ms; 9
        // struck as 8 before each hit, 3 struck as 8 on three rounds.
        const GameRecord run = roundsGame(GameMode::Practice, 10,
                                          {{1, 400}, {2, 400}, {3, 400}, {4, 400}, {5, 400}, {6, 400}, {7, 600}, {8, 400}, {9, 400}},
                                          {{9, 10}, {3, 3}});
        KeypadInsight before;
        for (int d = 1; d <= 9; ++d)
            before.digits[size_t(d - 1)] = DigitFigures{40, 40, d == 7 ? 700 : 400, 1.0};
        const PracticeReport report = practiceReport(run, before);
        QCOMPARE(report.digits.size(), size_t(9));
        for (const DrilledDigit& d : report.digits) {
            const double wanted = d.digit == 9 ? 0.5 : d.digit == 3 ? 10.0 / 13 : 1.0;
            QVERIFY2(std::abs(*d.accuracy() - wanted) < 1e-9, qPrintable(QString::number(d.digit)));
            QCOMPARE(d.change(), d.digit == 7 ? DigitChange::Faster : DigitChange::None);
        }
        QCOMPARE(report.misses.size(), size_t(2));
        for (size_t i = 0; i < 2; ++i)   // 9 struck as 8 ten times, then 3 as 8 three times
            QCOMPARE(std::tuple(report.misses[i].shown, report.misses[i].pressed, report.misses[i].count),
                     i == 0 ? std::tuple(9, 8, 10) : std::tuple(3, 8, 3));
    }

    // Keypad 8 on テンキー分析 plays a practice stage without quota or best;
    // its end shows the practice result, the history and its export keep it
    // as mode practice, the stage bests leave it out; keypad 4 plays another.
    // Keypad 7 and a digit there drills that digit (7 then 0, or then Esc,
    // only cancels, other keys leave the choice open), keypad 8 on 苦手な指運び
    // the moves shown there. Each leaves tavo_s.dat byte for byte and keypad
    // 0 returns to the page and mode it was started from.
    void practiceAndDrillsFromThePages()
    {
        GameFixture fixture;
        fixture.writeFolder();
        writeHistory(fixture.path(QStringLiteral("history.sqlite")));
        const QByteArray scores = fixture.readFile(QStringLiteral("tavo_s.dat"));
        QVERIFY(fixture.startUp());
        GameFixture::keypad(form1, 2);
        while (progressWindow->page() != ProgressWindow::Keypad)
            GameFixture::keypad(progressWindow, 6);
        const GameMode keypadMode = progressWindow->insightMode();
        GameFixture::keypad(progressWindow, 8);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Form3")});
        QCOMPARE(Module1.Practice, 1);
        QCOMPARE(Module1.DigitWeights[6], 3.0);
        QVERIFY(form3->Label7(0)->isHidden() && form3->Label5(0)->isHidden());

        GameFixture::keypad(form3, 0);
        for (int i = 0; i < 18; ++i)
            GameFixture::hitTarget();
        GameFixture::missTarget();
        GameFixture::tickClock(kStageSeconds);
        GameFixture::keypad(form3, 0);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Practice")});
        QCOMPARE(std::tuple(practiceResultWindow->report().hits, practiceResultWindow->report().keys), std::tuple(18, 19));
        QCOMPARE(fixture.readFile(QStringLiteral("tavo_s.dat")), scores);

        HistoryDatabase db(fixture.path(QStringLiteral("history.sqlite")));
        const auto practice = latestGames(db, GameMode::Practice, 1);
        QVERIFY(practice && practice->back().id == 22 && practice->back().outcome == GameOutcome::Cleared);
        QCOMPARE(practice->back().stages.at(0).keys.size(), size_t(19));
        const std::optional<ProgressData> progress = readProgress(db);
        QVERIFY(progress && progress->stageBest[0][0] == 0 && progress->stageBest[1][0] == 0);
        QBuffer csv;
        csv.open(QIODevice::WriteOnly);
        QString message;
        QVERIFY(exportHistoryCsv(db.path(), csv, message));
        QCOMPARE(csv.data().count(",practice,"), 3);  // games 21 (two stages) and 22

        GameFixture::keypad(practiceResultWindow, 4);  // another, given up at once
        QVERIFY(form3->isVisible() && Module1.Practice == 1 && Module1.StageScore == 0);
        GameFixture::keypad(form3, 0);
        GameFixture::escape(form3);
        GameFixture::keypad(form3, 0);
        GameFixture::keypad(practiceResultWindow, 0);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Progress")});
        QCOMPARE(progressWindow->page(), int(ProgressWindow::Keypad));
        QCOMPARE(latestGames(db, GameMode::Practice, 1)->back().outcome, GameOutcome::Lost);

        for (const bool byEscape : {false, true}) {
            GameFixture::keypad(progressWindow, 7);
            QTest::keyClick(progressWindow, Qt::Key_Shift);  // a key the game ignores leaves it open
            QVERIFY(progressWindow->choosingDigit());
            if (byEscape)
                GameFixture::escape(progressWindow);
            else
                GameFixture::keypad(progressWindow, 0);
            QVERIFY(!progressWindow->choosingDigit());
            QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Progress")});
            QVERIFY(fixture.messages.empty());  // Esc asked nothing
        }
        GameFixture::keypad(progressWindow, 7);
        GameFixture::keypad(progressWindow, 3);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Form3")});
        QVERIFY(Module1.DigitWeightsAfter.empty());
        for (const int next : {4, 0}) {  // the same digit again, then back
            QCOMPARE(Module1.DigitWeights[2], kChosenDigitShare);
            GameFixture::keypad(form3, 0);
            GameFixture::escape(form3);
            GameFixture::keypad(form3, 0);
            QCOMPARE(practiceResultWindow->drill().digit, 3);
            GameFixture::keypad(practiceResultWindow, next);
        }
        QCOMPARE(progressWindow->page(), int(ProgressWindow::Keypad));
        QCOMPARE(progressWindow->insightMode(), keypadMode);

        GameFixture::keypad(progressWindow, 6);  // past 打ち間違い to 苦手な指運び
        GameFixture::keypad(progressWindow, 6);
        QCOMPARE(progressWindow->page(), int(ProgressWindow::Moves));
        // The hard mode's moves are game 20's: 1→2→3→4→1.
        for (int i = 0; i < 4 && progressWindow->insightMode() != GameMode::Hard; ++i)
            GameFixture::keypad(progressWindow, 5);
        QCOMPARE(progressWindow->insightMode(), GameMode::Hard);
        GameFixture::keypad(progressWindow, 8);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Form3")});
        QCOMPARE(Module1.Practice, 1);
        QCOMPARE(Module1.DigitWeightsAfter.size(), size_t(9));
        // After 4 comes 1 (the move 4→1) with the moves' share.
        const std::vector<double>& after4 = Module1.DigitWeightsAfter[3];
        QVERIFY(std::abs(std::accumulate(after4.begin(), after4.end(), 0.0) - 1.0) < 1e-9);
        QVERIFY(after4[0] >= kMoveShares[0] - 1e-9);
        GameFixture::keypad(form3, 0);
        for (int i = 0; i < 12; ++i)
            GameFixture::hitTarget();
        GameFixture::tickClock(kStageSeconds);
        GameFixture::keypad(form3, 0);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Practice")});
        QCOMPARE(practiceResultWindow->drill().kind, DrillKind::SlowMoves);
        GameFixture::keypad(practiceResultWindow, 0);
        QCOMPARE(progressWindow->page(), int(ProgressWindow::Moves));
        QCOMPARE(progressWindow->insightMode(), GameMode::Hard);

        QCOMPARE(fixture.readFile(QStringLiteral("tavo_s.dat")), scores);
        const auto drills = latestGames(db, GameMode::Practice, 6);
        QVERIFY(drills && drills->size() == 6);
        QCOMPARE(drills->back().id, qint64(26));  // games 22 to 26 are this visit's
        // A game after practice has its quota and best again, digits by key range.
        GameFixture::keypad(progressWindow, 0);
        GameFixture::keypad(form1, 4);
        QVERIFY(!form3->Label7(0)->isHidden() && Module1.DigitWeights.empty() && Module1.Practice == 0);
    }
};

QTEST_MAIN(TestPractice)
#include "test_practice.moc"
