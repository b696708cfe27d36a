#pragma once
// プレイ記録's calendar page: the recent weeks as a grid of days shaded by
// the minutes played, the streaks and today against the daily goal; and
// the title's one line of the same.
#include "history/play_calendar.h"

#include <QPainter>
#include <QString>

namespace calendar_page {

QString heading();
void draw(QPainter& p, const PlayCalendar& calendar, int goalMinutes);

// The shade of a day: 0 for none, up to kShades - 1.
constexpr int kShades = 5;
int shadeOf(qint64 ms);

}  // namespace calendar_page

// 「今日 6 / 10 分 · 連続 4 日」; empty when the goal is off.
QString dailyGoalLine(const PlayCalendar& calendar, int goalMinutes);
