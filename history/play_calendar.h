#pragma once
// The days played: each game's clock time (all of its stages, practice and
// 数字入力 included) on the local date its first stage began, as the
// history stored it with its offset, so a stage running past midnight
// counts for the day it began and a game played abroad for the date on the
// clock there. From them the calendar of recent weeks, the streaks of days
// with play, and today's minutes against the daily goal.
#include <QDate>
#include <QDateTime>
#include <array>
#include <functional>
#include <vector>

constexpr int kCalendarWeeks = 16;
constexpr int kCalendarDays = kCalendarWeeks * 7;
constexpr int kDefaultDailyGoal = 10;  // minutes
constexpr int kMaxDailyGoal = 120;     // minutes; 0 turns the goal off

struct PlaySpan {
    QDateTime startedAt;  // with the offset it was stored with
    qint64 playMs = 0;
};

struct PlayCalendar {
    QDate today;
    QDate firstDay;  // a Monday: the grid's top-left day
    // Clock time played on each day from firstDay, today included; the
    // days after today stay 0.
    std::array<qint64, kCalendarDays> dayMs{};
    qint64 todayMs = 0;
    // Days with play in a row up to today; a day not yet played does not
    // break it, so it runs up to yesterday until today is played.
    int currentStreak = 0;
    int longestStreak = 0;  // in the whole history
    // The index in dayMs of a date; -1 outside the grid.
    int indexOf(QDate date) const;
};

PlayCalendar playCalendar(const std::vector<PlaySpan>& spans, QDate today);

// Whole minutes, rounded down: the goal is met only once fully played.
inline int wholeMinutes(qint64 ms) { return static_cast<int>(ms / 60000); }

// Today's date on the player's clock; tests set a fixed clock.
QDate calendarToday();
void setCalendarClock(std::function<QDate()> today);

// The daily goal in minutes, 0 when off; set once at start-up.
int dailyGoal();
void setDailyGoal(int minutes);
