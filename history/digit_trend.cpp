#include "history/digit_trend.h"

namespace {
constexpr int kHalf = kTrendWeeks / 2;

bool onKeypad(int digit)
{
    return digit >= 1 && digit <= kKeypadDigits;
}

struct Week {
    int keys = 0;
    std::vector<int> reactions;
};

// The median of a digit over a run of weeks, from enough keys only.
std::optional<int> medianOver(const std::array<Week, kTrendWeeks>& weeks, int from, int to)
{
    int keys = 0;
    std::vector<int> reactions;
    for (int w = from; w < to; ++w) {
        keys += weeks[static_cast<size_t>(w)].keys;
        const std::vector<int>& r = weeks[static_cast<size_t>(w)].reactions;
        reactions.insert(reactions.end(), r.begin(), r.end());
    }
    return keys >= kTrendMinKeys ? medianOf(std::move(reactions)) : std::nullopt;
}
}  // namespace

QDate trendFirstDay(QDate today)
{
    return today.addDays(1 - today.dayOfWeek()).addDays(-7 * (kTrendWeeks - 1));
}

DigitTrend digitTrend(const std::vector<GameRecord>& games, QDate today)
{
    DigitTrend trend;
    trend.firstDay = trendFirstDay(today);
    std::array<std::array<Week, kTrendWeeks>, kKeypadDigits> weeks;
    for (const GameRecord& game : games) {
        if (!game.startedAt.isValid())
            continue;
        const QDate day = game.startedAt.date();
        const qint64 offset = trend.firstDay.daysTo(day);
        if (offset < 0 || day > today)
            continue;
        const auto week = static_cast<size_t>(offset / 7);
        for (const StageRecord& stage : game.stages) {
            for (const KeyStroke& key : stage.keys)
                if (onKeypad(key.target))
                    ++weeks[static_cast<size_t>(key.target - 1)][week].keys;
            for (const HitGap& gap : hitGaps(stage))
                if (onKeypad(gap.from) && onKeypad(gap.to))
                    weeks[static_cast<size_t>(gap.to - 1)][week].reactions.push_back(gap.ms);
        }
    }
    for (int d = 1; d <= kKeypadDigits; ++d) {
        const std::array<Week, kTrendWeeks>& digit = weeks[static_cast<size_t>(d - 1)];
        for (int w = 0; w < kTrendWeeks; ++w)
            trend.weeklyMs[static_cast<size_t>(d - 1)][static_cast<size_t>(w)] = medianOver(digit, w, w + 1);
        const std::optional<int> before = medianOver(digit, 0, kHalf);
        const std::optional<int> now = medianOver(digit, kHalf, kTrendWeeks);
        if (!before || !now || *now >= *before)
            continue;
        // The largest drop wins; on a tie, the lower digit.
        if (!trend.mostImproved || *before - *now > trend.mostImproved->beforeMs - trend.mostImproved->nowMs)
            trend.mostImproved = DigitImprovement{d, *before, *now};
    }
    return trend;
}
