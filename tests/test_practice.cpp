// 苦手特訓: the digit weights from a hand-made history (worked out by hand
// below), the draws that follow them, and a practice stage played from
// プレイ記録 that leaves the score file alone and is stored as practice.
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

namespace {

KeyStroke key(int ms, int digit, int target)
{
    return KeyStroke{ms, static_cast<qint8>(digit), static_cast<qint8>(target), digit == target};
}

// A game of one stage: `rounds` rounds through (digit, gap) pairs, each
// correct key gap ms after the previous one; digit `missed` is struck wrong
// (8 pressed) once before each of its correct keys.
GameRecord roundsGame(GameMode mode, int rounds, std::vector<std::pair<int, int>> digits, int missed = 0)
{
    GameRecord game;
    game.mode = mode;
    game.startedAt = QDateTime::currentDateTime();
    StageRecord& stage = game.stages.emplace_back(StageRecord{1, 0, 0, StageVerdict::Clear, 30000, {}});
    for (int r = 0, ms = 0; r < rounds; ++r) {
        for (const auto& [d, gapMs] : digits) {
            ms += gapMs;
            if (d == missed)
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
    games.push_back(roundsGame(GameMode::Practice, 21, {{5, 300}, {6, 300}, {7, 600}, {9, 400}}, 9));
    games.back().stages.push_back(roundsGame(GameMode::Practice, 10, {{8, 300}}).stages[0]);
    games.back().stages[1].stage = 2;
    HistoryDatabase db(path);
    for (GameRecord& game : games) {
        size_t saved = 0;
        QVERIFY(db.saveGame(game, saved));
    }
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
        std::array<int, 10> drawn{};
        for (int i = 0; i < kDraws; ++i)
            ++drawn[size_t(StageRun(m).key(m.KeyQueue[0]).newDigit)];
        QCOMPARE(drawn[0], 0);
        for (int d = 1; d <= 9; ++d) {
            const double wanted = kDraws * kExpected[d - 1] / 16.0;
            QVERIFY2(std::abs(drawn[size_t(d)] - wanted) <= 0.05 * wanted,
                     qPrintable(QStringLiteral("digit %1: %2 drawn, %3 wanted").arg(d).arg(drawn[size_t(d)]).arg(wanted)));
        }
    }

    // Keypad 8 on テンキー分析 plays a practice stage without quota or best;
    // its end shows the practice result, tavo_s.dat stays byte for byte, the
    // history and its export keep it as mode practice, the stage bests leave
    // it out; keypad 4 plays another, keypad 0 returns to プレイ記録.
    void practiceFromTheKeypadPage()
    {
        GameFixture fixture;
        fixture.writeFolder();
        writeHistory(fixture.path(QStringLiteral("history.sqlite")));
        const QByteArray scores = fixture.readFile(QStringLiteral("tavo_s.dat"));
        QVERIFY(fixture.startUp());
        GameFixture::keypad(form1, 2);
        while (progressWindow->page() != ProgressWindow::Keypad)
            GameFixture::keypad(progressWindow, 6);
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
        QCOMPARE(practiceResultWindow->report().hits, 18);
        QCOMPARE(practiceResultWindow->report().keys, 19);
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
        QCOMPARE(latestGames(db, GameMode::Practice, 1)->back().outcome, GameOutcome::Lost);
        // A game after practice has its quota and best again, digits by key range.
        GameFixture::keypad(progressWindow, 0);
        GameFixture::keypad(form1, 4);
        QVERIFY(!form3->Label7(0)->isHidden() && Module1.DigitWeights.empty() && Module1.Practice == 0);
    }
};

QTEST_MAIN(TestPractice)
#include "test_practice.moc"
