// The days played: a game's minutes on the local date of its start (across
// midnight and across a change of time zone), the streaks, the weeks of the
// calendar page, the title's line, and all of it read from the history.
#include "history/history_reader.h"
#include "platform/keys.h"
#include "screens/calendar_page.h"
#include "screens/progress_window.h"
#include "support/history_folder.h"

#include <QTemporaryDir>
#include <QTimeZone>
#include <QtTest>

namespace {
constexpr qint64 kMinute = 60000;

QDateTime at(int month, int day, int hour, int minute, int offsetHours = 9)
{
    return QDateTime(QDate(2026, month, day), QTime(hour, minute), QTimeZone(offsetHours * 3600));
}

// One game a day on each of `days` (of December), `minutes` long.
std::vector<PlaySpan> daysPlayed(const std::vector<int>& days, qint64 minutes = 3)
{
    std::vector<PlaySpan> spans;
    for (int d : days)
        spans.push_back({at(12, d, 19, 30), minutes * kMinute});
    return spans;
}

// A lost game of stages whose clocks ran `stageMs`, each striking 1 to 9.
GameRecord gameAt(const QDateTime& start, GameMode mode, std::vector<int> stageMs)
{
    std::vector<StageRecord> stages;
    for (size_t i = 0; i < stageMs.size(); ++i)
        stages.push_back(sweepStage(static_cast<int>(i) + 1, 9, stageMs[i]));
    return gameOf(start, mode, stages);
}
}  // namespace

class PlayCalendarTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void cleanup() { setCalendarClock(nullptr); }

    // A game counts for the date on the clock where it began: past midnight
    // it stays on its first day, and after a flight the new zone's date rules.
    void dayOfTheStartAcrossMidnightAndZones()
    {
        const std::vector<PlaySpan> spans = {
            {at(12, 7, 23, 55), 12 * kMinute},      // runs into the 8th: still the 7th
            {at(12, 8, 0, 5), 4 * kMinute},
            {at(12, 8, 16, 0, 1), 6 * kMinute},     // 00:00 of the 9th in Tokyo, the 8th in Paris
            {at(12, 9, 1, 0, -8), 2 * kMinute},     // already the 9th's evening in Tokyo: the 9th here
        };
        const PlayCalendar c = playCalendar(spans, QDate(2026, 12, 9));
        QCOMPARE(c.dayMs[size_t(c.indexOf(QDate(2026, 12, 7)))], 12 * kMinute);
        QCOMPARE(c.dayMs[size_t(c.indexOf(QDate(2026, 12, 8)))], 10 * kMinute);
        QCOMPARE(c.dayMs[size_t(c.indexOf(QDate(2026, 12, 9)))], 2 * kMinute);
        QCOMPARE(c.todayMs, 2 * kMinute);
        QCOMPARE(c.currentStreak, 3);
    }

    // Several games of a day add up; a part of a minute is not yet a minute.
    void minutesPerDay()
    {
        std::vector<PlaySpan> spans = daysPlayed({3, 3, 3}, 2);
        spans.push_back({at(12, 3, 8, 0), 3 * kMinute + 59999});
        spans.push_back({at(12, 3, 9, 0), 0});  // a game with no stage played
        const PlayCalendar c = playCalendar(spans, QDate(2026, 12, 3));
        QCOMPARE(c.todayMs, 9 * kMinute + 59999);
        QCOMPARE(wholeMinutes(c.todayMs), 9);
        QCOMPARE(dailyGoalLine(c, 10), QString::fromUtf8("今日 9 / 10 分 · 連続 1 日"));
        QVERIFY(dailyGoalLine(c, 0).isEmpty());   // no goal, no line
    }

    // The streak runs up to today, or up to yesterday while today is not
    // yet played; a day missed ends it. The longest is the whole history's.
    void streaksWithAGap()
    {
        // 1..5 played (five), the 6th missed, 7..9 played.
        const std::vector<PlaySpan> spans = daysPlayed({1, 2, 3, 4, 5, 7, 8, 9});
        PlayCalendar c = playCalendar(spans, QDate(2026, 12, 9));
        QCOMPARE(c.currentStreak, 3);
        QCOMPARE(c.longestStreak, 5);
        c = playCalendar(spans, QDate(2026, 12, 10));   // today not played yet
        QCOMPARE(c.currentStreak, 3);
        QCOMPARE(c.todayMs, 0);
        c = playCalendar(spans, QDate(2026, 12, 11));   // yesterday missed
        QCOMPARE(c.currentStreak, 0);
        QCOMPARE(c.longestStreak, 5);
        c = playCalendar(spans, QDate(2026, 12, 6));    // on the missed day itself
        QCOMPARE(c.currentStreak, 5);
        QCOMPARE(dailyGoalLine(c, 25), QString::fromUtf8("今日 0 / 25 分 · 連続 5 日"));
    }

    // The grid: weeks from Monday, the last of them this week, sixteen in
    // all; older days and days to come stay out of it.
    void weeksOfTheGrid()
    {
        const QDate today(2026, 12, 9);   // a Wednesday
        std::vector<PlaySpan> spans = daysPlayed({14});   // days to come (a wrong clock)
        spans.push_back({at(8, 23, 10, 0), 7 * kMinute});   // the Sunday before the first week
        spans.push_back({at(8, 24, 10, 0), 8 * kMinute});   // the first Monday
        const PlayCalendar c = playCalendar(spans, today);
        QCOMPARE(c.firstDay.dayOfWeek(), 1);
        QCOMPARE(c.firstDay.daysTo(today), 7 * (kCalendarWeeks - 1) + today.dayOfWeek() - 1);
        QCOMPARE(c.indexOf(QDate(2026, 8, 23)), -1);
        QCOMPARE(c.indexOf(QDate(2026, 8, 24)), 0);
        QCOMPARE(c.dayMs[0], 8 * kMinute);
        qint64 all = 0;
        for (qint64 ms : c.dayMs)
            all += ms;
        QCOMPARE(all, 8 * kMinute);
        QCOMPARE(c.longestStreak, 2);   // a streak needs no grid
        // The shades climb with the minutes, none for a day without play.
        int last = calendar_page::shadeOf(0);
        QCOMPARE(last, 0);
        for (int minutes : {1, 4, 6, 20, 45, 120}) {
            const int shade = calendar_page::shadeOf(minutes * kMinute);
            QVERIFY(shade >= last && shade >= 1 && shade < calendar_page::kShades);
            last = shade;
        }
        QCOMPARE(last, calendar_page::kShades - 1);
    }

    // The history gives every game's clock time, stages summed, practice and
    // 数字入力 included; プレイ記録 reads it against its clock and shows it
    // as its last page.
    void readFromTheHistory()
    {
        QVERIFY(dir_.isValid());
        const QString path = dir_.filePath(QStringLiteral("history.sqlite"));
        HistoryDatabase db(path);
        QVERIFY(saveGames(db, {gameAt(at(12, 8, 23, 50), GameMode::Normal, {29970, 29970, 12000}),   // past midnight
                               gameAt(at(12, 9, 7, 0), GameMode::Practice, {180000}),
                               gameAt(at(12, 9, 8, 0), GameMode::Entry, {300000}),
                               gameAt(at(12, 9, 9, 0), GameMode::Hard, {29970})}));
        setCalendarClock([] { return QDate(2026, 12, 9); });
        const std::optional<ProgressData> data = readProgress(db);
        QVERIFY(data);
        const PlayCalendar& c = data->calendar;
        QCOMPARE(c.today, QDate(2026, 12, 9));
        QCOMPARE(c.dayMs[size_t(c.indexOf(QDate(2026, 12, 8)))], qint64(29970 + 29970 + 12000));
        QCOMPARE(c.todayMs, qint64(180000 + 300000 + 29970));
        QCOMPARE(c.currentStreak, 2);

        ProgressWindow window;
        window.setProgress(data);
        window.Form_KeyDown(vk::Numpad4, 0);   // back from the first page: the new pages at the end
        QCOMPARE(window.page(), int(ProgressWindow::DigitTrends));
        window.Form_KeyDown(vk::Numpad4, 0);
        QCOMPARE(window.page(), int(ProgressWindow::Calendar));
        QCOMPARE(window.heading(), calendar_page::heading());
        QVERIFY(!window.grab().isNull());
    }
};

QTEST_MAIN(PlayCalendarTest)
#include "test_play_calendar.moc"
