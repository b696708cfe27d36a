#include "history/play_calendar.h"

#include <algorithm>
#include <set>

namespace {
std::function<QDate()>& todayClock()
{
    static std::function<QDate()> today;
    return today;
}

int g_dailyGoal = kDefaultDailyGoal;
}  // namespace

int PlayCalendar::indexOf(QDate date) const
{
    const qint64 days = firstDay.daysTo(date);
    return days >= 0 && days < kCalendarDays ? static_cast<int>(days) : -1;
}

PlayCalendar playCalendar(const std::vector<PlaySpan>& spans, QDate today)
{
    PlayCalendar calendar;
    calendar.today = today;
    // The Monday of this week, then back to the first of the weeks shown.
    calendar.firstDay = today.addDays(1 - today.dayOfWeek()).addDays(-7 * (kCalendarWeeks - 1));
    std::set<QDate> played;
    for (const PlaySpan& span : spans) {
        if (!span.startedAt.isValid() || span.playMs <= 0)
            continue;
        // The date as the clock showed it where the game began.
        const QDate day = span.startedAt.date();
        played.insert(day);
        const int i = calendar.indexOf(day);
        if (i >= 0 && day <= today)
            calendar.dayMs[static_cast<size_t>(i)] += span.playMs;
        if (day == today)
            calendar.todayMs += span.playMs;
    }
    int run = 0;
    QDate previous;
    for (const QDate& day : played) {
        run = previous.isValid() && previous.daysTo(day) == 1 ? run + 1 : 1;
        calendar.longestStreak = std::max(calendar.longestStreak, run);
        previous = day;
    }
    QDate day = played.count(today) ? today : today.addDays(-1);
    while (played.count(day)) {
        ++calendar.currentStreak;
        day = day.addDays(-1);
    }
    return calendar;
}

QDate calendarToday()
{
    return todayClock() ? todayClock()() : QDate::currentDate();
}

void setCalendarClock(std::function<QDate()> today)
{
    todayClock() = std::move(today);
}

int dailyGoal()
{
    return g_dailyGoal;
}

void setDailyGoal(int minutes)
{
    g_dailyGoal = std::clamp(minutes, 0, kMaxDailyGoal);
}
