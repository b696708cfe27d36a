#include "state/digit_draw.h"

#include <numeric>

int drawDigit(const GameState& m, double r, int previous)
{
    const size_t row = static_cast<size_t>(previous - 1);
    const bool after = previous >= 1 && row < m.DigitWeightsAfter.size();
    const std::vector<double>& weights = after ? m.DigitWeightsAfter[row] : m.DigitWeights;
    const double total = std::accumulate(weights.begin(), weights.end(), 0.0);
    if (weights.empty() || !(total > 0))
        return static_cast<int>(m.StageKeyRange[m.Stage] * r) + 1;
    // The digits' shares laid end to end over [0, total).
    double point = r * total;
    for (size_t i = 0; i < weights.size(); ++i) {
        if (point < weights[i])
            return static_cast<int>(i) + 1;
        point -= weights[i];
    }
    return static_cast<int>(weights.size());  // r so close to 1 that rounding left the last share
}
