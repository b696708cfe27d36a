#pragma once
// The rule values that the game's subsystems share, each defined once here:
// the stage count and clock, the points per hit, the score unit, the stage
// verdicts and the rank of a won game. Plain values, no widgets.
#include <algorithm>

constexpr int kStageCount = 5;
constexpr int kStageSeconds = 30;    // seconds on a stage's clock
constexpr int kClockTickMs = 999;    // one of those seconds, as the clock counts it
constexpr int kScoreUnit = 10;       // scores are held in tens of displayed points
constexpr int kSecondsPerTen = 10;   // time limits are held in tens of seconds
constexpr int kStageTimeLimitTens = kStageSeconds / kSecondsPerTen;
constexpr int kGaugeFull = 10;       // gauge levels 0..10; level k lights blocks 0..k-1

// Points (in score units) that a hit earns at each gauge level.
constexpr int kPointsPerHit[kGaugeFull + 1] = {0, 1, 2, 3, 5, 7, 10, 14, 19, 24, 30};

// How a stage ended; the results screen shows it and progression follows it.
enum class StageOutcome {
    NextStage,   // cleared, another stage follows
    AllClear,    // the fifth stage cleared: the game is won
    GameOver,    // below the quota, or given up
};

// Ranks of a won game, E to S.
constexpr int kRankCount = 6;
constexpr int kRankBase = 7500;      // score units: the lowest total above E's floor
constexpr int kRankStep = 2500;

// The rank of a won game (0 = E .. 5 = S): one rank per 2500 units above
// 7500. A won game below 7500 (quotas may add up to less) is still E.
constexpr int rankOf(int gameScore)
{
    // Whole-number division rounding towards minus infinity, then clamped.
    const int above = gameScore - kRankBase;
    const int rank = above >= 0 ? above / kRankStep : -1;
    return std::clamp(rank, 0, kRankCount - 1);
}

// The rank's letter as shown and stored.
constexpr char rankLetter(int rank)
{
    return "EDCBAS"[std::clamp(rank, 0, kRankCount - 1)];
}
