#pragma once
// The figures worked out from the stored keys, all in this one place. Each
// reads a stage as the history holds it (StageRecord: its keys in the order
// struck), and every time between keys comes from hitGaps():
// - per stage: hits, misses, streak, gaps, hits per second;
// - per game: the median gap, keystrokes per hour;
// - per keypad digit over many games (the keypad pages and the practice
//   stage): reaction time, accuracy, what was pressed instead, the slowest
//   moves from one digit to the next.
#include "history/records.h"

#include <array>
#include <optional>
#include <vector>

constexpr int kKeypadDigits = 9;       // digits 1..9 are asked for
constexpr int kInsightGames = 20;      // games per mode the keypad pages look at
constexpr int kInsightMinKeys = 20;    // fewer keys of a digit: no figure, "—"
constexpr int kMinMoveCount = 3;       // a move must come this often to be ranked
constexpr int kSlowMoveCount = 5;      // slowest moves shown
constexpr int kTopMissCount = 3;       // most frequent misses named

// One correct key after the previous correct key of the same stage: the
// digits asked for at each and the time between them. Gaps never span two
// stages, and a miss between the two does not shorten the gap.
struct HitGap {
    int from = 0;  // target of the previous correct key
    int to = 0;    // target of this one
    int ms = 0;
};
// A stage's gaps in the order struck (its first correct key has none).
std::vector<HitGap> hitGaps(const StageRecord& stage);

// Median (two middle values averaged) and 90th percentile (nearest rank).
std::optional<int> medianOf(std::vector<int> values);
std::optional<int> percentile90Of(std::vector<int> values);

struct StageFigures {
    int hits = 0;
    int misses = 0;
    int longestStreak = 0;      // hits in a row without a miss
    double keysPerSecond = 0;   // every digit struck, per second the clock ran
    std::optional<int> medianGapMs;
    std::optional<int> p90GapMs;
    std::array<int, kStageSeconds> hitsPerSecond{};
};
StageFigures stageFigures(const StageRecord& stage);

// The median gap over all stages of a game.
std::optional<int> gameMedianGapMs(const GameRecord& game);

// Keystrokes per hour of one game: correct keys × 3600 ÷ seconds played;
// accuracy: correct ÷ all keys. Empty when nothing was played or struck.
struct GameSpeed {
    int keys = 0;
    std::optional<double> keysPerHour;
    std::optional<double> accuracy;
};
GameSpeed gameSpeed(const GameRecord& game);

struct DigitFigures {
    int keys = 0;   // presses while this digit was the target
    int hits = 0;
    // Median time from the previous correct key to this digit's correct key
    // (within a stage) and hits ÷ keys; empty below the minimum of keys.
    std::optional<int> medianMs;
    std::optional<double> accuracy;
};

struct Move {
    int from = 0;  // target of a correct key
    int to = 0;    // target of the next correct key
    int medianMs = 0;
    int count = 0;
};

struct Miss {
    int shown = 0;
    int pressed = 0;
    int count = 0;
};

struct KeypadInsight {
    int games = 0;
    int keys = 0;
    std::array<DigitFigures, kKeypadDigits> digits{};  // digit 1 first
    // Misses: [shown digit - 1][pressed digit - 1].
    std::array<std::array<int, kKeypadDigits>, kKeypadDigits> misses{};
    std::vector<Move> slowMoves;  // up to kSlowMoveCount, slowest first

    const DigitFigures& digit(int d) const { return digits[static_cast<size_t>(d - 1)]; }
    int missCount(int shown, int pressed) const
    {
        return misses[static_cast<size_t>(shown - 1)][static_cast<size_t>(pressed - 1)];
    }
};

// From the stages of these games; a digit gets figures from minKeys keys on.
KeypadInsight keypadInsight(const std::vector<GameRecord>& games, int minKeys = kInsightMinKeys);

// The digit with the slowest median and the one with the lowest accuracy
// among those with figures (the lower digit on a tie).
std::optional<int> slowestDigit(const KeypadInsight& insight);
std::optional<int> leastAccurateDigit(const KeypadInsight& insight);
// The most frequent misses, most first (then by shown, pressed digit).
std::vector<Miss> topMisses(const KeypadInsight& insight, int count = kTopMissCount);
