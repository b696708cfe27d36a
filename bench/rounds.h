#pragma once
// Rounds of launches that take turns, and the statistics the benchmark's
// rows are made of.
#include <functional>
#include <optional>
#include <vector>

// Nearest rank: the smallest value with at least p % of them at or below it.
double percentile(std::vector<double> v, double p);
inline double median(const std::vector<double>& v) { return percentile(v, 50); }

// One round of launches, each told whether to record (every round but the
// first, `round` 0, which warms the caches). The order turns by one program
// each round: a program started right after another finds the machine as
// that one left it, and in a fixed order the same program would always be
// the one that gains or loses by it.
void inTurn(int round, const std::vector<std::function<void(bool record)>>& launches);

// a[i] ÷ b[i], taken round by round: the machine's slower and faster spells
// fall on both alike. Empty unless both have one value for every round.
struct PairedRatio {
    double median, firstQuartile, thirdQuartile;
};
std::optional<PairedRatio> pairedRatio(const std::vector<double>& a, const std::vector<double>& b);
