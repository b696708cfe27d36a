// The keypad figures, from the keys alone.
#include "history/keypad_insight.h"

#include <algorithm>
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

KeypadInsight keypadInsight(const std::vector<GameRecord>& games, int minKeys)
{
    KeypadInsight insight;
    std::array<std::vector<int>, kKeypadDigits> reactions;
    std::map<std::pair<int, int>, std::vector<int>> moves;
    for (const GameRecord& game : games) {
        ++insight.games;
        for (const StageRecord& stage : game.stages) {
            // The previous correct key of this stage: its time and target.
            std::optional<std::pair<qint32, int>> previous;
            for (const KeyStroke& key : stage.keys) {
                ++insight.keys;
                if (!onKeypad(key.target))
                    continue;
                DigitFigures& figures = insight.digits[slot(key.target)];
                ++figures.keys;
                if (!key.hit) {
                    if (onKeypad(key.digit))
                        ++insight.misses[slot(key.target)][slot(key.digit)];
                    continue;
                }
                ++figures.hits;
                if (previous) {
                    const int gap = key.ms - previous->first;
                    reactions[slot(key.target)].push_back(gap);
                    moves[{previous->second, key.target}].push_back(gap);
                }
                previous = std::make_pair(key.ms, static_cast<int>(key.target));
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
