// Figures of play, drawn from the key presses.
#include "history/stage_figures.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <utility>

namespace {
bool onKeypad(int digit)
{
    return digit >= 1 && digit <= kKeypadDigits;
}

size_t slot(int digit)
{
    return static_cast<size_t>(digit - 1);
}
}  // namespace

std::vector<HitGap> hitGaps(const StageRecord& stage)
{
    std::vector<HitGap> gaps;
    const KeyStroke* previous = nullptr;
    for (const KeyStroke& key : stage.keys) {
        if (!key.hit)
            continue;
        if (previous)
            gaps.push_back({previous->target, key.target, key.ms - previous->ms});
        previous = &key;
    }
    return gaps;
}

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

StageFigures stageFigures(const StageRecord& stage)
{
    StageFigures f;
    int streak = 0;
    for (const KeyStroke& key : stage.keys) {
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
    if (stage.playMs > 0)
        f.keysPerSecond = static_cast<double>(stage.keys.size()) * 1000.0 / stage.playMs;
    std::vector<int> gaps;
    for (const HitGap& gap : hitGaps(stage))
        gaps.push_back(gap.ms);
    f.medianGapMs = medianOf(gaps);
    f.p90GapMs = percentile90Of(std::move(gaps));
    return f;
}

std::optional<int> gameMedianGapMs(const GameRecord& game)
{
    std::vector<int> gaps;
    for (const StageRecord& stage : game.stages)
        for (const HitGap& gap : hitGaps(stage))
            gaps.push_back(gap.ms);
    return medianOf(std::move(gaps));
}

GameSpeed gameSpeed(const GameRecord& game)
{
    GameSpeed speed;
    int hits = 0;
    qint64 playMs = 0;
    for (const StageRecord& stage : game.stages) {
        playMs += stage.playMs;
        for (const KeyStroke& key : stage.keys) {
            ++speed.keys;
            hits += key.hit ? 1 : 0;
        }
    }
    if (playMs > 0)
        speed.keysPerHour = hits * 3600.0 * 1000.0 / static_cast<double>(playMs);
    if (speed.keys > 0)
        speed.accuracy = static_cast<double>(hits) / speed.keys;
    return speed;
}

KeypadInsight keypadInsight(const std::vector<GameRecord>& games, int minKeys)
{
    KeypadInsight insight;
    std::array<std::vector<int>, kKeypadDigits> reactions;
    std::map<std::pair<int, int>, std::vector<int>> moves;
    for (const GameRecord& game : games) {
        ++insight.games;
        for (const StageRecord& stage : game.stages) {
            for (const KeyStroke& key : stage.keys) {
                ++insight.keys;
                if (!onKeypad(key.target))
                    continue;
                DigitFigures& figures = insight.digits[slot(key.target)];
                ++figures.keys;
                if (key.hit)
                    ++figures.hits;
                else if (onKeypad(key.digit))
                    ++insight.misses[slot(key.target)][slot(key.digit)];
            }
            for (const HitGap& gap : hitGaps(stage)) {
                if (!onKeypad(gap.from) || !onKeypad(gap.to))
                    continue;
                reactions[slot(gap.to)].push_back(gap.ms);
                moves[{gap.from, gap.to}].push_back(gap.ms);
            }
        }
    }

    for (int d = 1; d <= kKeypadDigits; ++d) {
        DigitFigures& figures = insight.digits[slot(d)];
        if (figures.keys < std::max(minKeys, 1))
            continue;
        figures.medianMs = medianOf(reactions[slot(d)]);
        figures.accuracy = static_cast<double>(figures.hits) / figures.keys;
    }

    for (auto& [fromTo, gaps] : moves) {
        if (static_cast<int>(gaps.size()) < kMinMoveCount)
            continue;
        insight.slowMoves.push_back({fromTo.first, fromTo.second, *medianOf(gaps), static_cast<int>(gaps.size())});
    }
    // Slowest first; a move that came more often goes first on a tie.
    std::stable_sort(insight.slowMoves.begin(), insight.slowMoves.end(), [](const Move& a, const Move& b) {
        return a.medianMs != b.medianMs ? a.medianMs > b.medianMs : a.count > b.count;
    });
    if (insight.slowMoves.size() > static_cast<size_t>(kSlowMoveCount))
        insight.slowMoves.resize(kSlowMoveCount);
    return insight;
}

std::optional<int> slowestDigit(const KeypadInsight& insight)
{
    std::optional<int> slowest;
    for (int d = 1; d <= kKeypadDigits; ++d) {
        const std::optional<int>& ms = insight.digit(d).medianMs;
        if (ms && (!slowest || *ms > *insight.digit(*slowest).medianMs))
            slowest = d;
    }
    return slowest;
}

std::optional<int> leastAccurateDigit(const KeypadInsight& insight)
{
    std::optional<int> worst;
    for (int d = 1; d <= kKeypadDigits; ++d) {
        const std::optional<double>& accuracy = insight.digit(d).accuracy;
        if (accuracy && (!worst || *accuracy < *insight.digit(*worst).accuracy))
            worst = d;
    }
    return worst;
}

std::vector<Miss> topMisses(const KeypadInsight& insight, int count)
{
    std::vector<Miss> all;
    for (int shown = 1; shown <= kKeypadDigits; ++shown) {
        for (int pressed = 1; pressed <= kKeypadDigits; ++pressed) {
            if (const int n = insight.missCount(shown, pressed); n > 0)
                all.push_back({shown, pressed, n});
        }
    }
    std::stable_sort(all.begin(), all.end(), [](const Miss& a, const Miss& b) { return a.count > b.count; });
    if (all.size() > static_cast<size_t>(count))
        all.resize(static_cast<size_t>(count));
    return all;
}
