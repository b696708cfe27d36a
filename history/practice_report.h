#pragma once
// 苦手特訓, the practice stage, in figures: how often each digit comes
// (the slower a digit and the more often it is missed, the more often:
// the costliest kPracticeWeightRatio times as often as the cheapest), the
// same weights bent towards a chosen digit or the slow moves, and
// afterwards what the run did for the digits it drilled: its hits,
// accuracy, keystrokes per hour and most frequent misses, and per digit
// its accuracy and median reaction time of this run beside the player's
// figure before it, with whether the change is more than noise.
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

// The three drills: the weak digits (苦手特訓), the slow moves shown on
// 苦手な指運び, and one digit the player picks on テンキー分析.
enum class DrillKind { WeakDigits, SlowMoves, ChosenDigit };

struct PracticeDrill {
    DrillKind kind = DrillKind::WeakDigits;
    int digit = 0;            // the chosen digit, 1..9
    std::vector<Move> moves;  // the slow moves shown, slowest first
};

// The chosen digit's share of the targets; the other eight share the rest
// by their weak-digit weights.
constexpr double kChosenDigitShare = 0.5;
// After a digit that begins a slow move, the share of the moves' end
// digits; after any other digit, the share of the digits that begin one.
// The lowest of these that makes kMovePairAim of the pairs of targets in
// a row slow moves (in the long run) is taken, else the highest: the
// other digits keep coming, more of them the less the moves need.
constexpr double kMoveShares[] = {0.8, 0.85, 0.9, 0.95};
constexpr double kMovePairAim = 0.55;

// weights (digit 1 first) with `digit` drawn kChosenDigitShare of the
// time, the others in proportion to their weights.
std::vector<double> chosenDigitWeights(const std::vector<double>& weights, int digit);

// One row of weights per digit that comes before (digit 1's row first),
// from the weak-digit weights and the slow moves: after a digit that
// begins moves, their end digits take one of kMoveShares (an end that
// begins a move in turn twice as much as one that does not, so chains of
// moves go on); after any other digit, the digits that begin moves take
// it (the beginnings of chains, no move's end, twice as much). The rest of
// a row keeps the weak-digit proportions. Empty without moves.
std::vector<std::vector<double>> slowMoveWeights(const std::vector<double>& weights, const std::vector<Move>& moves);

// The share of pairs of targets in a row that are one of the moves, in
// the long run of draws by these rows (each row's shares summing to 1).
double movePairShare(const std::vector<std::vector<double>>& rows, const std::vector<Move>& moves);

// How a digit's median of this run stands against its figure before. It
// counts only when both rest on at least kChangeMinKeys keys and the
// median moved by at least kChangeMinPercent % of the figure before and
// by at least kChangeMinMs: anything less is the noise of a short run.
constexpr int kChangeMinKeys = 10;
constexpr int kChangeMinPercent = 5;
constexpr int kChangeMinMs = 15;
enum class DigitChange { None, Faster, Slower };
DigitChange digitChange(int nowKeys, std::optional<int> nowMs, int beforeKeys, std::optional<int> beforeMs);

struct DrilledDigit {
    int digit = 0;
    int keys = 0;                    // presses while it was the target
    int hits = 0;
    std::optional<int> nowMs;        // median of this run (no minimum of keys)
    std::optional<int> beforeMs;     // the figure the weights came from
    int beforeKeys = 0;              // the keys that figure rests on
    DigitChange change() const { return digitChange(keys, nowMs, beforeKeys, beforeMs); }
    bool faster() const { return change() == DigitChange::Faster; }
    std::optional<double> accuracy() const
    {
        return keys > 0 ? std::optional<double>(hits / static_cast<double>(keys)) : std::nullopt;
    }
};

struct PracticeReport {
    int hits = 0;
    int keys = 0;
    std::optional<double> accuracy;
    std::optional<double> keysPerHour;
    std::vector<DrilledDigit> digits;  // each digit that was the target, 1 first
    std::vector<Miss> misses;          // the run's most frequent misses, most first
};

// run: the practice stage as recorded; before: the figures at its start.
PracticeReport practiceReport(const GameRecord& run, const KeypadInsight& before);
