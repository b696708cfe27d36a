#pragma once
// 苦手特訓: how often each digit comes in a practice stage. The slower a
// digit and the more often it is missed, the more often it comes: the
// costliest digit kPracticeWeightRatio times as often as the cheapest.
// Worked out from the keypad figures of the player's latest games.
#include "history/history_database.h"
#include "history/keypad_insight.h"

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

// The keypad figures of the latest kPracticeGames games of every mode,
// practice stages included. On failure the problem is noted on db.
std::optional<KeypadInsight> practiceFigures(HistoryDatabase& db);
