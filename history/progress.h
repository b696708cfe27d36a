#pragma once
// What the progress screen shows, worked out from the games read back.
#include "history/history_database.h"
#include "history/stage_figures.h"

#include <QDateTime>
#include <array>
#include <optional>
#include <vector>

constexpr int kProgressGames = 50;  // games per mode in the trend charts
constexpr int kModeCount = 2;  // the modes with scores: normal, hard (no practice)

struct GamePoint {
    qint64 id = 0;
    QDateTime startedAt;
    GameMode mode = GameMode::Normal;
    int total = 0;
    GameOutcome outcome = GameOutcome::Quit;
    int hits = 0;
    int misses = 0;
    std::optional<int> medianGapMs;
    // Correct keys among all keys struck, 0..1; empty when none were struck.
    std::optional<double> accuracy() const;
};

struct StageSummary {
    int stage = 0;
    int score = 0;
    int quota = 0;
    StageVerdict verdict = StageVerdict::Clear;
    int hits = 0;
    std::array<int, kStageSeconds> hitsPerSecond{};
};

struct ProgressData {
    int gameCount = 0;
    // Per mode (GameMode as index), the latest games, oldest first.
    std::array<std::vector<GamePoint>, kModeCount> recent;
    // Per mode and stage (0..4), the best stage score in the history.
    std::array<std::array<std::optional<int>, kStageCount>, kModeCount> stageBest;
    std::optional<GamePoint> lastGame;
    std::vector<StageSummary> lastGameStages;
};

// Reads the progress figures; on failure the problem is noted on db (a
// damaged file is kept aside) and nothing is returned.
std::optional<ProgressData> readProgress(HistoryDatabase& db);

// Normal 0, hard 1, practice 2 (which has no totals or bests of its own).
inline int modeIndex(GameMode mode) { return static_cast<int>(mode); }
