// Figures of play, drawn from the key presses.
#include "history/stage_figures.h"

#include <algorithm>
#include <cmath>

namespace {
// The gaps between consecutive correct keys of one stage, in press order.
std::vector<int> hitGaps(const std::vector<KeyStroke>& keys)
{
    std::vector<int> gaps;
    std::optional<qint32> previous;
    for (const KeyStroke& key : keys) {
        if (!key.hit)
            continue;
        if (previous)
            gaps.push_back(key.ms - *previous);
        previous = key.ms;
    }
    return gaps;
}
}  // namespace

std::optional<int> medianOf(std::vector<int> values)
{
    if (values.empty())
        return std::nullopt;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    if (n % 2 == 1)
        return values[n / 2];
    return static_cast<int>(std::lround((values[n / 2 - 1] + values[n / 2]) / 2.0));
}

std::optional<int> percentile90Of(std::vector<int> values)
{
    if (values.empty())
        return std::nullopt;
    std::sort(values.begin(), values.end());
    // Nearest rank: the smallest value with at least 90 % at or below it.
    const size_t rank = static_cast<size_t>(std::ceil(0.9 * static_cast<double>(values.size())));
    return values[std::max<size_t>(rank, 1) - 1];
}

std::optional<int> gameMedianGapMs(const GameRecord& game)
{
    std::vector<int> gaps;
    for (const StageRecord& stage : game.stages) {
        const std::vector<int> g = hitGaps(stage.keys);
        gaps.insert(gaps.end(), g.begin(), g.end());
    }
    return medianOf(std::move(gaps));
}

StageFigures stageFigures(const std::vector<KeyStroke>& keys, int playMs)
{
    StageFigures f;
    int streak = 0;
    for (const KeyStroke& key : keys) {
        if (key.hit) {
            ++f.hits;
            ++streak;
            f.longestStreak = std::max(f.longestStreak, streak);
            ++f.hitsPerSecond[std::clamp(static_cast<int>(key.ms / kClockTickMs), 0, kStageSeconds - 1)];
        } else {
            ++f.misses;
            streak = 0;
        }
    }
    if (playMs > 0)
        f.keysPerSecond = static_cast<double>(keys.size()) * 1000.0 / playMs;
    const std::vector<int> gaps = hitGaps(keys);
    f.medianGapMs = medianOf(gaps);
    f.p90GapMs = percentile90Of(gaps);
    return f;
}
