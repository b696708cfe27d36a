// Each digit's weeks: the weekly median reaction time of every keypad
// digit over the last weeks (thin weeks left empty), the most improved
// digit of the later weeks against the earlier, and its page's mode.
#include "history/history_reader.h"
#include "platform/keys.h"
#include "screens/digit_trend_page.h"
#include "screens/progress_window.h"
#include "support/history_folder.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

namespace {
const QDate kToday(2026, 12, 9);

// How much faster each digit got from the fifth week on; 7 the most.
int dropOf(int digit)
{
    return digit == 7 ? 130 : 5 * digit;
}

int gapOf(int digit, int week)
{
    return 400 + 20 * digit - (week >= kTrendWeeks / 2 ? dropOf(digit) : 0);
}

// `rounds` rounds of the targets 1..9, each correct key gapOf() after the
// one before, a miss ahead of every 8 so that misses count as keys too.
StageRecord stageOfWeek(int week, int rounds)
{
    StageRecord s{1, 100, 50, StageVerdict::Clear, 29970, {}};
    int ms = 0;
    for (int r = 0; r < rounds; ++r) {
        for (int d = 1; d <= kKeypadDigits; ++d) {
            ms += gapOf(d, week);
            if (d == 8)
                s.keys.push_back(stroke(ms - 40, 9, 8));
            s.keys.push_back(stroke(ms, d, d));
        }
    }
    return s;
}

GameRecord gameOn(QDate day, int week, int rounds, GameMode mode = GameMode::Normal)
{
    return gameOf(QDateTime(day, QTime(20, 0), QTimeZone(9 * 3600)), mode, {stageOfWeek(week, rounds)});
}

// A game on the Wednesday of each week, 25 rounds; week 2 has 3 rounds,
// week 5 has 19 (a key short of the minimum for digits 1..7, 9; 8 has its
// misses too), week 6 exactly 20; and one the day before the first week.
std::vector<GameRecord> eightWeeks()
{
    const QDate first = trendFirstDay(kToday);
    std::vector<GameRecord> games;
    for (int w = 0; w < kTrendWeeks; ++w) {
        const int rounds = w == 2 ? 3 : w == 5 ? 19 : w == 6 ? 20 : 25;
        games.push_back(gameOn(first.addDays(7 * w + 2), w, rounds));
    }
    games.push_back(gameOn(first.addDays(-1), 0, 40));
    return games;
}
}  // namespace

class DigitTrendTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void cleanup() { setCalendarClock(nullptr); }

    // Each week's median per digit, on the keypad's digits 1..9; a week with
    // fewer than the minimum keys of a digit stays empty, and a game before
    // the first week counts nowhere.
    void weeklyMediansWithThinWeeks()
    {
        const DigitTrend trend = digitTrend(eightWeeks(), kToday);
        QCOMPARE(trend.firstDay.dayOfWeek(), 1);
        QCOMPARE(trend.firstDay.daysTo(kToday), 7 * (kTrendWeeks - 1) + kToday.dayOfWeek() - 1);
        for (int d = 1; d <= kKeypadDigits; ++d) {
            for (int w = 0; w < kTrendWeeks; ++w) {
                const std::optional<int> ms = trend.digit(d)[size_t(w)];
                // 19 rounds are enough only for 8, whose misses are keys too.
                const bool thin = w == 2 || (w == 5 && d != 8);
                QVERIFY2(ms.has_value() == !thin, qPrintable(QStringLiteral("%1 week %2").arg(d).arg(w)));
                if (ms)
                    QCOMPARE(*ms, gapOf(d, w));
            }
        }
    }

    // The digit that got faster the most: the later weeks' median against
    // the earlier weeks', thin weeks pooled in; none without both halves.
    void mostImprovedDigit()
    {
        std::vector<GameRecord> games = eightWeeks();
        DigitTrend trend = digitTrend(games, kToday);
        QVERIFY(trend.mostImproved);
        QCOMPARE(trend.mostImproved->digit, 7);
        QCOMPARE(trend.mostImproved->beforeMs, gapOf(7, 0));
        QCOMPARE(trend.mostImproved->nowMs, gapOf(7, kTrendWeeks - 1));
        QCOMPARE(digit_trend_page::improvementText(*trend.mostImproved),
                 QString::fromUtf8("7: %1 → %2 ms（この4週間）").arg(gapOf(7, 0)).arg(gapOf(7, kTrendWeeks - 1)));
        // Without the later weeks there is nothing to compare.
        games.erase(games.begin() + kTrendWeeks / 2, games.begin() + kTrendWeeks);
        trend = digitTrend(games, kToday);
        QVERIFY(!trend.mostImproved);
        QCOMPARE(trend.digit(4)[1], std::optional<int>(gapOf(4, 1)));
    }

    // The history gives each mode its own weeks, each week from its latest
    // games only; keypad 5 on the page switches the mode as on the keypad
    // pages.
    void readPerModeAndShown()
    {
        QVERIFY(dir_.isValid());
        HistoryDatabase db(dir_.filePath(QStringLiteral("history.sqlite")));
        // Older games of the first week, far slower: all of them passed over
        // once the week has its latest games.
        std::vector<GameRecord> games;
        const QDate first = trendFirstDay(kToday);
        for (int i = 0; i < kTrendGamesPerWeek; ++i) {
            games.push_back(gameOn(first, 0, 25));
            for (KeyStroke& k : games.back().stages[0].keys)
                k.ms *= 2;
        }
        for (const GameRecord& g : eightWeeks())
            games.push_back(g);
        for (int i = 1; i < kTrendGamesPerWeek; ++i)
            games.push_back(gameOn(first.addDays(i), 0, 25));
        games.push_back(gameOn(kToday, kTrendWeeks - 1, 30, GameMode::Practice));
        QVERIFY(saveGames(db, games));
        setCalendarClock([] { return kToday; });
        const std::optional<ProgressData> data = readProgress(db);
        QVERIFY(data);
        const DigitTrend& normal = data->digitTrends[size_t(modeIndex(GameMode::Normal))];
        const DigitTrend& practice = data->digitTrends[size_t(modeIndex(GameMode::Practice))];
        QCOMPARE(normal.mostImproved->digit, 7);
        for (int d = 1; d <= kKeypadDigits; ++d)
            QCOMPARE(normal.digit(d)[0], std::optional<int>(gapOf(d, 0)));
        QVERIFY(!practice.digit(9)[0]);
        QCOMPARE(practice.digit(9)[kTrendWeeks - 1], std::optional<int>(gapOf(9, kTrendWeeks - 1)));
        QVERIFY(!data->digitTrends[size_t(modeIndex(GameMode::Hard))].digit(5)[kTrendWeeks - 1]);

        ProgressWindow window;
        window.setProgress(data);
        window.setInsight(InsightData{});
        while (window.page() != ProgressWindow::DigitTrends)
            window.Form_KeyDown(vk::Numpad6, 0);
        QCOMPARE(window.heading(), digit_trend_page::heading(modeIndex(GameMode::Practice)));   // the last game's
        window.Form_KeyDown(vk::Numpad5, 0);
        QCOMPARE(window.heading(), digit_trend_page::heading(modeIndex(GameMode::Normal)));
        QVERIFY(!window.grab().isNull());
    }
};

QTEST_MAIN(DigitTrendTest)
#include "test_digit_trend.moc"
