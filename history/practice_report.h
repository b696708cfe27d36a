#pragma once
// 苦手特訓, the practice stage, in figures: how often each digit comes
// (the slower a digit and the more often it is missed, the more often:
// the costliest kPracticeWeightRatio times as often as the cheapest), and
// afterwards what the run did for the digits it drilled: its hits,
// accuracy and keystrokes per hour, and per digit the median reaction time
// of this run beside the player's figure before it.
#include "history/stage_figures.h"

#include <optional>
#include <vector>

constexpr double kPracticeWeightRatio = 3.0;    // weight of the costliest digit ÷ the cheapest
constexpr int kPracticeGames = kInsightGames;   // latest games of every mode the weights look at

// A digit's cost: its median reaction time raised by its miss rate,
// median × (2 − accuracy); empty without figures.
std::optional<double> digitCost(const DigitFigures& figures);

// The weights of digits 1..9, digit 1 first: the cheapest digit 1, the
// costliest kPracticeWeightRatio, the others in proportion to their cost
// between the two; a digit without figures takes the middle. All alike
// when fewer than two digits have figures or all cost the same.
std::vector<double> practiceWeights(const KeypadInsight& figures);

struct DrilledDigit {
    int digit = 0;
    int keys = 0;                    // presses while it was the target
    std::optional<int> nowMs;        // median of this run (no minimum of keys)
    std::optional<int> beforeMs;     // the figure the weights came from
    bool faster() const { return nowMs && beforeMs && *nowMs < *beforeMs; }
};

struct PracticeReport {
    int hits = 0;
    int keys = 0;
    std::optional<double> accuracy;
    std::optional<double> keysPerHour;
    std::vector<DrilledDigit> digits;  // each digit that was the target, 1 first
};

// run: the practice stage as recorded; before: the figures at its start.
PracticeReport practiceReport(const GameRecord& run, const KeypadInsight& before);
