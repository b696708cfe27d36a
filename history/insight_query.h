#pragma once
// The keys the insight pages are drawn from, read from the history file:
// the last games of each mode for the keypad pages, and the keystrokes per
// hour of the latest games of both modes in the order they were played.
#include "history/history_database.h"
#include "history/keypad_insight.h"

#include <array>
#include <optional>
#include <vector>

constexpr int kSpeedGames = 50;  // games on the keystrokes-per-hour page

struct SpeedPoint {
    qint64 id = 0;
    GameMode mode = GameMode::Normal;
    GameSpeed speed;
};

struct InsightData {
    // Per mode (normal, hard, practice), from its last kInsightGames games.
    std::array<KeypadInsight, kGameModes> keypad;
    std::vector<SpeedPoint> speeds;  // oldest first
    // The longest run of correct keys in each stage of the last game (by
    // stage number, 1 first); empty for a stage not played.
    std::array<std::optional<int>, kStageCount> lastGameStreaks{};
};

// On failure the problem is noted on db and nothing is returned.
std::optional<InsightData> readInsight(HistoryDatabase& db);
