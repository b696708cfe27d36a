#pragma once
// The figures of play, worked out from the stored keys in this one place.
#include "history/records.h"

#include <array>
#include <optional>
#include <vector>

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
inline StageFigures stageFigures(const StageRecord& stage) { return stageFigures(stage.keys, stage.playMs); }

// The median gap over all stages of a game (gaps never span two stages).
std::optional<int> gameMedianGapMs(const GameRecord& game);
// Median (two middle values averaged) and 90th percentile (nearest rank).
std::optional<int> medianOf(std::vector<int> values);
std::optional<int> percentile90Of(std::vector<int> values);
