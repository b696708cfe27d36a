#pragma once
// The rule values that the game's subsystems share, each defined once here:
// the stage count and clock, the points per hit, the score unit, how a stage
// and a game end and the rank of a won game. Plain values, no widgets.
#include <algorithm>
#include <optional>

constexpr int kStageCount = 5;
constexpr int kStageSeconds = 30;    // seconds on a stage's clock
constexpr int kClockTickMs = 999;    // one of those seconds, as the clock counts it
constexpr int kScoreUnit = 10;       // scores are held in tens of displayed points
constexpr int kSecondsPerTen = 10;   // time limits are held in tens of seconds
constexpr int kStageTimeLimitTens = kStageSeconds / kSecondsPerTen;
constexpr int kGaugeFull = 10;       // gauge levels 0..10; level k lights blocks 0..k-1

// Points (in score units) that a hit earns at each gauge level.
constexpr int kPointsPerHit[kGaugeFull + 1] = {0, 1, 2, 3, 5, 7, 10, 14, 19, 24, 30};

// How a stage ended. "HiSCORE!!" is no verdict of its own: it is a clear
// that beat the stage best.
enum class StageVerdict { Clear, Failure, GiveUp };
// How a game ended. A game that never reached its end (the program was
// closed) counts as quit.
enum class GameOutcome { Cleared, Lost, Quit };

// The one quota test: reaching the quota (equal is enough) clears a stage.
constexpr bool quotaMet(int stageScore, int quota)
{
    return stageScore >= quota;
}

// The verdict of a stage that has ended; a practice stage has a quota of 0.
constexpr StageVerdict stageVerdict(int stageScore, int quota, bool gaveUp)
{
    if (gaveUp)
        return StageVerdict::GiveUp;
    return quotaMet(stageScore, quota) ? StageVerdict::Clear : StageVerdict::Failure;
}

// How the game stands after a stage with this verdict: still going (none),
// won with the fifth stage, or lost. A practice stage is a game of its own,
// done once played to the end.
constexpr std::optional<GameOutcome> gameEndAfter(StageVerdict verdict, int stage, bool practice)
{
    if (verdict != StageVerdict::Clear)
        return GameOutcome::Lost;
    if (practice || stage == kStageCount)
        return GameOutcome::Cleared;
    return std::nullopt;
}

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

// Everything the end of a stage decides, in one value: the results screen
// paints it, progression follows it.
struct StageResult {
    StageVerdict verdict = StageVerdict::GiveUp;
    bool quotaMet = false;
    bool bestBeaten = false;                // the stage best was raised (and saved)
    std::optional<GameOutcome> gameEnd;     // none: the next stage follows
    int gameTotal = 0;                      // score units, this stage included
    std::optional<int> rank;                // 0 (E) .. 5 (S), of a won game
};
