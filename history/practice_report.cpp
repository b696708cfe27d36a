// The practice stage's weights and result, from the keypad figures alone.
#include "history/practice_report.h"

#include <algorithm>
#include <cstdlib>

std::optional<double> digitCost(const DigitFigures& figures)
{
    if (!figures.medianMs || !figures.accuracy)
        return std::nullopt;
    return *figures.medianMs * (2.0 - *figures.accuracy);
}

std::vector<double> practiceWeights(const KeypadInsight& figures)
{
    std::vector<std::optional<double>> costs;
    std::optional<double> cheapest, costliest;
    int known = 0;
    for (int d = 1; d <= kKeypadDigits; ++d) {
        const std::optional<double> cost = digitCost(figures.digit(d));
        costs.push_back(cost);
        if (!cost)
            continue;
        ++known;
        cheapest = std::min(cheapest.value_or(*cost), *cost);
        costliest = std::max(costliest.value_or(*cost), *cost);
    }
    std::vector<double> weights(static_cast<size_t>(kKeypadDigits), 1.0);
    if (known < 2 || *costliest <= *cheapest)
        return weights;
    const double span = kPracticeWeightRatio - 1.0;
    for (size_t i = 0; i < weights.size(); ++i) {
        const double share = costs[i] ? (*costs[i] - *cheapest) / (*costliest - *cheapest) : 0.5;
        weights[i] = 1.0 + span * share;
    }
    return weights;
}

std::vector<double> chosenDigitWeights(const std::vector<double>& weights, int digit)
{
    std::vector<double> chosen(weights.size(), 0.0);
    const size_t pick = static_cast<size_t>(digit - 1);
    if (digit < 1 || pick >= weights.size())
        return weights;
    double others = 0;
    for (size_t i = 0; i < weights.size(); ++i)
        others += i == pick ? 0.0 : weights[i];
    for (size_t i = 0; i < weights.size(); ++i)
        chosen[i] = i == pick ? kChosenDigitShare : (1.0 - kChosenDigitShare) * weights[i] / others;
    return chosen;
}

namespace {
// weights with the digits of `favoured` taking `share` between them (in
// proportion to `favour`), the rest in proportion to the weights.
std::vector<double> favour(const std::vector<double>& weights, const std::vector<double>& favour, double share)
{
    double inside = 0, outside = 0;
    for (size_t i = 0; i < weights.size(); ++i) {
        inside += favour[i];
        outside += favour[i] > 0 ? 0.0 : weights[i];
    }
    std::vector<double> row(weights.size(), 0.0);
    for (size_t i = 0; i < weights.size(); ++i) {
        if (favour[i] > 0)
            row[i] = share * favour[i] / inside;
        else if (outside > 0)
            row[i] = (1.0 - share) * weights[i] / outside;
    }
    return row;
}
}  // namespace

std::vector<std::vector<double>> slowMoveWeights(const std::vector<double>& weights, const std::vector<Move>& moves)
{
    const size_t n = weights.size();
    std::vector<bool> starts(n, false), ends(n, false);
    std::vector<Move> kept;
    for (const Move& m : moves) {
        const size_t from = static_cast<size_t>(m.from - 1), to = static_cast<size_t>(m.to - 1);
        if (m.from < 1 || m.to < 1 || from >= n || to >= n)
            continue;
        starts[from] = true;
        ends[to] = true;
        kept.push_back(m);
    }
    if (kept.empty())
        return {};
    std::vector<std::vector<double>> rows;
    for (const double share : kMoveShares) {
        rows.clear();
        for (size_t before = 0; before < n; ++before) {
            std::vector<double> favoured(n, 0.0);
            if (starts[before]) {
                for (const Move& m : kept)
                    if (static_cast<size_t>(m.from - 1) == before)
                        favoured[static_cast<size_t>(m.to - 1)] = starts[static_cast<size_t>(m.to - 1)] ? 2.0 : 1.0;
            } else {
                for (size_t d = 0; d < n; ++d)
                    favoured[d] = starts[d] ? weights[d] * (ends[d] ? 1.0 : 2.0) : 0.0;
            }
            rows.push_back(favour(weights, favoured, share));
        }
        if (movePairShare(rows, kept) >= kMovePairAim)
            break;
    }
    return rows;
}

double movePairShare(const std::vector<std::vector<double>>& rows, const std::vector<Move>& moves)
{
    // How often each digit comes in the long run: the draws repeated from
    // every digit alike until they settle (a few hundred rounds of nine).
    const size_t n = rows.size();
    std::vector<double> often(n, 1.0 / static_cast<double>(n));
    for (int round = 0; round < 400; ++round) {
        std::vector<double> next(n, 0.0);
        for (size_t from = 0; from < n; ++from)
            for (size_t to = 0; to < n && to < rows[from].size(); ++to)
                next[to] += often[from] * rows[from][to];
        often = next;
    }
    double share = 0;
    for (const Move& m : moves) {
        const size_t from = static_cast<size_t>(m.from - 1), to = static_cast<size_t>(m.to - 1);
        if (m.from >= 1 && m.to >= 1 && from < n && to < rows[from].size())
            share += often[from] * rows[from][to];
    }
    return share;
}

DigitChange digitChange(int nowKeys, std::optional<int> nowMs, int beforeKeys, std::optional<int> beforeMs)
{
    if (nowKeys < kChangeMinKeys || beforeKeys < kChangeMinKeys || !nowMs || !beforeMs)
        return DigitChange::None;
    const int by = std::abs(*beforeMs - *nowMs);
    // Whole numbers: 5 % of 1,000 ms is 50 ms exactly, never 49.999.
    if (by < kChangeMinMs || by * 100 < kChangeMinPercent * *beforeMs)
        return DigitChange::None;
    return *nowMs < *beforeMs ? DigitChange::Faster : DigitChange::Slower;
}

PracticeReport practiceReport(const GameRecord& run, const KeypadInsight& before)
{
    PracticeReport report;
    const GameSpeed speed = gameSpeed(run);
    report.keys = speed.keys;
    report.accuracy = speed.accuracy;
    report.keysPerHour = speed.keysPerHour;
    // One run is short: every digit asked for gets its figure.
    const KeypadInsight now = keypadInsight({run}, 1);
    for (int d = 1; d <= kKeypadDigits; ++d) {
        const DigitFigures& figures = now.digit(d);
        report.hits += figures.hits;
        if (figures.keys > 0)
            report.digits.push_back({d, figures.keys, figures.hits, figures.medianMs, before.digit(d).medianMs,
                                     before.digit(d).keys});
    }
    report.misses = topMisses(now);
    return report;
}
