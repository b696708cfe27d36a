#pragma once
// What a practice stage did for the digits it drilled: its hits, accuracy
// and keystrokes per hour, and per digit the median reaction time of this
// run beside the player's figure before it.
#include "history/keypad_insight.h"

#include <optional>
#include <vector>

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
