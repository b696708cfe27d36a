#pragma once
// What one stage of play leaves behind: every keypad digit judged while the
// clock ran, and the figures the progress screen and the export show.
#include "state/rules.h"

#include <QtGlobal>
#include <array>
#include <optional>
#include <vector>


struct KeyStroke {
    qint32 ms = 0;      // since the stage clock started
    qint8 digit = 0;    // the keypad digit struck
    qint8 target = 0;   // the digit at the bottom of the stack
    bool hit = false;
};

struct StageFigures {
    int hits = 0;
    int misses = 0;
    int longestStreak = 0;      // hits in a row without a miss
    double keysPerSecond = 0;   // every digit struck, per second of play
    // Time between one correct key and the next, within the stage.
    std::optional<int> medianGapMs;
    std::optional<int> p90GapMs;
    std::array<int, kStageSeconds> hitsPerSecond{};
};

// playMs: how long the clock ran (up to time-up or the give-up).
StageFigures stageFigures(const std::vector<KeyStroke>& keys, int playMs);

// The gaps between consecutive correct keys of one stage, in press order.
std::vector<int> hitGaps(const std::vector<KeyStroke>& keys);
// Median (the mean of the two middle values for an even count, rounded)
// and 90th percentile (nearest rank); empty for no values.
std::optional<int> medianOf(std::vector<int> values);
std::optional<int> percentile90Of(std::vector<int> values);
// The second of the stage clock a key time falls in, 0..29.
int stageSecond(qint32 ms);
