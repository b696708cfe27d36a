// Only the latest games are read (through the games_by_mode and
// keys_by_stage indexes), so the time to read does not grow with the
// length of the history.
#include "history/insight_query.h"

#include "history/history_reader.h"

std::optional<InsightData> readInsight(HistoryDatabase& db)
{
    InsightData data;
    for (GameMode mode : {GameMode::Normal, GameMode::Hard, GameMode::Practice}) {
        const std::optional<std::vector<GameRecord>> games = latestGames(db, mode, kInsightGames);
        if (!games)
            return std::nullopt;
        data.keypad[static_cast<size_t>(mode)] = keypadInsight(*games);
    }
    const std::optional<std::vector<GameRecord>> games = latestGames(db, std::nullopt, kSpeedGames);
    if (!games)
        return std::nullopt;
    for (const GameRecord& game : *games)
        data.speeds.push_back({game.id, game.mode, gameSpeed(game)});
    if (!games->empty()) {
        for (const StageRecord& stage : games->back().stages) {
            if (stage.stage >= 1 && stage.stage <= kStageCount)
                data.lastGameStreaks[static_cast<size_t>(stage.stage - 1)] = stageFigures(stage).longestStreak;
        }
    }
    return data;
}
