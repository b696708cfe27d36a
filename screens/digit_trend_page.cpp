#include "screens/digit_trend_page.h"

#include "history/history_reader.h"
#include "screens/progress_charts.h"

#include <algorithm>

namespace digit_trend_page {
namespace {
using chart::pixelFont;
using chart::u8;

constexpr double kLeft = 24;
constexpr double kTop = 80;
constexpr double kWidth = 176;
constexpr double kHeight = 66;
constexpr double kGap = 9;

// The play grid's key colours.
QColor digitColor(int digit)
{
    return keyRowColor(digit);
}

QString modeName(int mode)
{
    const char* const names[kGameModes] = {"ノーマル", "ハード", "練習"};
    return u8(names[std::clamp(mode, 0, kGameModes - 1)]);
}
}  // namespace

QString heading(int mode)
{
    return u8("数字別の推移（%1）").arg(modeName(mode));
}

QString improvementText(const DigitImprovement& improved)
{
    return u8("%1: %2 → %3 ms（この%4週間）")
        .arg(improved.digit)
        .arg(improved.beforeMs)
        .arg(improved.nowMs)
        .arg(kTrendWeeks / 2);
}

void draw(QPainter& p, const DigitTrend& trend)
{
    const QFont small = pixelFont(12);
    chart::text(p, 570, 66, u8("週ごとの反応時間（中央値）直近%1週").arg(kTrendWeeks), small, chart::kMist,
                Qt::AlignRight);
    // One scale for all nine, so that the lines compare.
    int low = 0, high = 0;
    bool any = false;
    for (const auto& weeks : trend.weeklyMs)
        for (const std::optional<int>& ms : weeks)
            if (ms) {
                low = any ? std::min(low, *ms) : *ms;
                high = any ? std::max(high, *ms) : *ms;
                any = true;
            }
    if (high - low < 50) {
        const int middle = (low + high) / 2;
        low = middle - 25;
        high = middle + 25;
    }
    for (int d = 1; d <= kKeypadDigits; ++d) {
        // 7 8 9 on top, as on the keypad.
        const int row = 2 - (d - 1) / 3;
        const int column = (d - 1) % 3;
        const QRectF panel(kLeft + column * (kWidth + kGap), kTop + row * (kHeight + 4), kWidth, kHeight);
        p.setPen(QPen(QColor(chart::kGold.red(), chart::kGold.green(), chart::kGold.blue(), 90), 1));
        p.setBrush(QColor(0, 0, 0, 120));
        p.drawRoundedRect(panel, 4, 4);
        const QColor color = digitColor(d);
        chart::text(p, panel.left() + 8, panel.top() + 26, QString::number(d), pixelFont(20), color);
        const auto& weeks = trend.digit(d);
        const QRectF plot(panel.left() + 30, panel.top() + 10, kWidth - 78, kHeight - 20);
        auto pointAt = [&](int w, int ms) {
            const double x = plot.left() + plot.width() * w / (kTrendWeeks - 1);
            const double y = plot.bottom() - plot.height() * (ms - low) / (high - low);
            return QPointF(x, y);
        };
        // Week ticks along the bottom, then the line, broken at empty weeks.
        p.setPen(QPen(chart::kMist, 1));
        for (int w = 0; w < kTrendWeeks; ++w)
            p.drawPoint(QPointF(plot.left() + plot.width() * w / (kTrendWeeks - 1), plot.bottom() + 4));
        p.setPen(QPen(color, 1.5));
        p.setBrush(color);
        std::optional<QPointF> previous;
        std::optional<int> latest;
        for (int w = 0; w < kTrendWeeks; ++w) {
            const std::optional<int>& ms = weeks[static_cast<size_t>(w)];
            if (!ms) {
                previous.reset();
                continue;
            }
            const QPointF point = pointAt(w, *ms);
            if (previous)
                p.drawLine(*previous, point);
            p.drawEllipse(point, 2, 2);
            previous = point;
            latest = ms;
        }
        chart::text(p, panel.right() - 6, panel.top() + 38, latest ? QString::number(*latest) : u8("—"),
                    pixelFont(13), latest ? chart::kPaper : chart::kMist, Qt::AlignRight);
    }
    const double y = kTop + 3 * (kHeight + 4) + 16;
    if (trend.mostImproved) {
        chart::text(p, kLeft, y, u8("いちばん速くなった数字　") + improvementText(*trend.mostImproved),
                    pixelFont(14), chart::kPaper);
    } else {
        chart::text(p, kLeft, y,
                    u8("まだ比べられません（前後%1週間にそれぞれ %2 回以上打った数字がありません）")
                        .arg(kTrendWeeks / 2)
                        .arg(kTrendMinKeys),
                    small, chart::kMist);
    }
}

}  // namespace digit_trend_page
