#include "bench/rounds.h"

#include <algorithm>
#include <cmath>

double percentile(std::vector<double> v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t rank = std::size_t(std::ceil(p / 100.0 * double(v.size())));
    return v[std::clamp<std::size_t>(rank, 1, v.size()) - 1];
}

void inTurn(int round, const std::vector<std::function<void(bool record)>>& launches)
{
    const std::size_t n = launches.size();
    for (std::size_t k = 0; k < n; ++k)
        launches[(k + static_cast<std::size_t>(round)) % n](round > 0);
}

std::optional<PairedRatio> pairedRatio(const std::vector<double>& a, const std::vector<double>& b)
{
    if (a.size() != b.size() || a.empty())
        return std::nullopt;  // a round lost a start-up: no longer paired
    std::vector<double> ratios;
    for (std::size_t i = 0; i < a.size(); ++i)
        ratios.push_back(a[i] / b[i]);
    return PairedRatio{median(ratios), percentile(ratios, 25), percentile(ratios, 75)};
}
