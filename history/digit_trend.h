#pragma once
// Each keypad digit week by week: the median reaction time of the digit
// (as on the keypad pages: from the previous correct key to its correct
// key) in each of the last weeks, weeks from Monday on the local date a
// game began; and the digit that got faster the most in the last half of
// those weeks against the half before.
#include "history/stage_figures.h"

#include <QDate>
#include <array>
#include <optional>
#include <vector>

constexpr int kTrendWeeks = 8;
constexpr int kTrendMinKeys = 20;  // fewer keys of a digit in a week: no point
// The latest games of each week a week's figures come from (per mode): a
// few games hold plenty of each digit, and the page opens as fast with a
// long history as with a short one.
constexpr int kTrendGamesPerWeek = 3;

struct DigitImprovement {
    int digit = 0;
    int beforeMs = 0;  // median over the earlier half of the weeks
    int nowMs = 0;     // median over the later half
};

struct DigitTrend {
    QDate firstDay;  // the Monday of the first week
    // [digit - 1][week], the first week first.
    std::array<std::array<std::optional<int>, kTrendWeeks>, kKeypadDigits> weeklyMs{};
    std::optional<DigitImprovement> mostImproved;

    const std::array<std::optional<int>, kTrendWeeks>& digit(int d) const
    {
        return weeklyMs[static_cast<size_t>(d - 1)];
    }
};

// The first day a game must have begun on to count: the Monday kTrendWeeks
// weeks back from today's week.
QDate trendFirstDay(QDate today);

// From these games (any order), those of the weeks up to today's.
DigitTrend digitTrend(const std::vector<GameRecord>& games, QDate today);
