// The practice stage's weights and result, from the keypad figures alone.
#include "history/practice_report.h"

#include <algorithm>

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
            report.digits.push_back({d, figures.keys, figures.medianMs, before.digit(d).medianMs});
    }
    return report;
}
