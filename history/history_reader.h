#pragma once
// Reading games back, each with its stages and every key in the order struck.
#include "history/history_database.h"

#include <functional>
#include <optional>
#include <vector>

struct GameFilter {
    std::optional<GameMode> mode;  // every mode when empty
    int latest = 0;                // only the latest n games; 0 for all
    // Without a mode, 数字入力 tests count only when asked for: the pages
    // of stages and digits have no place for them.
    bool withEntry = false;
};

// Calls visit for each game the filter selects, oldest first. False when
// the file cannot be read (the problem is noted on db).
bool forEachGame(HistoryDatabase& db, const GameFilter& filter,
                 const std::function<void(const GameRecord&)>& visit);
// The latest n games (of one mode, or of all), oldest first.
std::optional<std::vector<GameRecord>> latestGames(HistoryDatabase& db, std::optional<GameMode> mode, int n);
