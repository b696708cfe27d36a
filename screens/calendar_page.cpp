#include "screens/calendar_page.h"

#include "screens/progress_charts.h"

namespace calendar_page {
namespace {
using chart::pixelFont;
using chart::u8;

constexpr double kLeft = 100;  // the grid's first column
constexpr double kTop = 100;
constexpr double kPitch = 22;  // a day and the gap after it
constexpr double kCell = 18;

// The least minutes of each shade above none.
constexpr int kShadeMinutes[kShades] = {0, 0, 5, 15, 30};

QColor shadeColor(int shade)
{
    return gamePalette().calendarShades[static_cast<size_t>(shade)];
}

void cell(QPainter& p, double x, double y, int shade)
{
    p.setPen(Qt::NoPen);
    p.setBrush(shadeColor(shade));
    p.drawRoundedRect(QRectF(x, y, kCell, kCell), 3, 3);
}
}  // namespace

int shadeOf(qint64 ms)
{
    if (ms <= 0)
        return 0;
    const int minutes = wholeMinutes(ms);
    int shade = 1;
    while (shade + 1 < kShades && minutes >= kShadeMinutes[shade + 1])
        ++shade;
    return shade;
}

QString heading()
{
    return u8("練習カレンダー（直近%1週間）").arg(kCalendarWeeks);
}

void draw(QPainter& p, const PlayCalendar& c, int goalMinutes)
{
    const QFont small = pixelFont(12);
    const QFont label = pixelFont(13);
    // Weekday names on alternate rows, Monday first.
    const char* const weekdays[] = {"月", "水", "金", "日"};
    for (int i = 0; i < 4; ++i) {
        const int row = i == 3 ? 6 : i * 2;
        chart::text(p, kLeft - 8, kTop + row * kPitch + 14, u8(weekdays[i]), small, chart::kMist, Qt::AlignRight);
    }
    for (int week = 0; week < kCalendarWeeks; ++week) {
        const double x = kLeft + week * kPitch;
        const QDate monday = c.firstDay.addDays(7 * week);
        // A month named above the week its first day falls in, and the
        // first week's month unless the next is named close beside it.
        const QDate sunday = monday.addDays(6);
        const bool nextSoon = sunday.addDays(7).day() <= 7;
        if ((week == 0 && !nextSoon) || (week > 0 && sunday.day() <= 7))
            chart::text(p, x, kTop - 6, u8("%1月").arg(sunday.month()), small, chart::kMist);
        for (int d = 0; d < 7; ++d) {
            const QDate day = monday.addDays(d);
            if (day > c.today)
                break;
            const double y = kTop + d * kPitch;
            cell(p, x, y, shadeOf(c.dayMs[static_cast<size_t>(c.indexOf(day))]));
            if (day == c.today) {
                p.setPen(QPen(chart::kGold, 1.5));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(QRectF(x - 1.5, y - 1.5, kCell + 3, kCell + 3), 4, 4);
            }
        }
    }
    // The legend under the grid: each shade with its minutes.
    const QString names[kShades] = {u8("なし"), u8("5分未満"), u8("5〜14分"), u8("15〜29分"), u8("30分以上")};
    double x = kLeft;
    const double legendTop = kTop + 7 * kPitch + 8;
    const QFontMetricsF metrics(small);
    for (int s = 0; s < kShades; ++s) {
        cell(p, x, legendTop, s);
        chart::text(p, x + kCell + 4, legendTop + 14, names[s], small, chart::kMist);
        x += kCell + 12 + metrics.horizontalAdvance(names[s]);
    }

    // The figures on the right.
    const double right = 570;
    const QFont figure = pixelFont(20);
    chart::text(p, right, kTop + 12, u8("いまの連続"), label, chart::kMist, Qt::AlignRight);
    chart::text(p, right, kTop + 38, u8("%1 日").arg(c.currentStreak), figure, chart::kPaper, Qt::AlignRight);
    chart::text(p, right, kTop + 68, u8("最長の連続"), label, chart::kMist, Qt::AlignRight);
    chart::text(p, right, kTop + 94, u8("%1 日").arg(c.longestStreak), figure, chart::kPaper, Qt::AlignRight);
    chart::text(p, right, kTop + 124, u8("今日"), label, chart::kMist, Qt::AlignRight);
    const int today = wholeMinutes(c.todayMs);
    if (goalMinutes > 0) {
        const bool met = today >= goalMinutes;
        chart::text(p, right, kTop + 150, u8("%1 / %2 分").arg(today).arg(goalMinutes), figure,
                    met ? chart::kNormal : chart::kPaper, Qt::AlignRight);
        chart::text(p, right, kTop + 168, met ? u8("目標達成") : u8("目標まであと %1 分").arg(goalMinutes - today),
                    small, met ? chart::kNormal : chart::kMist, Qt::AlignRight);
    } else {
        chart::text(p, right, kTop + 150, u8("%1 分").arg(today), figure, chart::kPaper, Qt::AlignRight);
    }
}

}  // namespace calendar_page

QString dailyGoalLine(const PlayCalendar& calendar, int goalMinutes)
{
    if (goalMinutes <= 0)
        return QString();
    return chart::u8("今日 %1 / %2 分 · 連続 %3 日")
        .arg(wholeMinutes(calendar.todayMs))
        .arg(goalMinutes)
        .arg(calendar.currentStreak);
}
