#pragma once
// One game as the history keeps it: when and how it was played, and each
// finished stage with its keys. Scores, quotas and totals are in points as
// the screens show them (ten times the game's own units).
#include "history/stage_figures.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

enum class GameMode { Normal, Hard };
enum class StageVerdict { Clear, Failure, GiveUp };
// A game that never reached its end (the program was closed) counts as quit.
enum class GameOutcome { Cleared, Lost, Quit };

struct StageRecord {
    int stage = 0;
    int score = 0;
    int quota = 0;
    StageVerdict verdict = StageVerdict::Clear;
    int playMs = 0;   // how long the clock ran
    std::vector<KeyStroke> keys;
};

struct GameRecord {
    QDateTime startedAt;
    GameMode mode = GameMode::Normal;
    int total = 0;                 // including every stage so far
    GameOutcome outcome = GameOutcome::Quit;
    int lastStage = 0;             // the stage that lost the game, or the last one finished
    std::optional<int> rank;       // 0 (E) .. 5 (S), for a cleared game with a rank
    std::vector<StageRecord> stages;
};

// The words stored in the file and written to the export.
QString modeName(GameMode mode);
QString verdictName(StageVerdict verdict);
QString outcomeName(GameOutcome outcome);
QString rankName(int rank);  // "E" .. "S"
std::optional<GameMode> modeFromName(const QString& name);

// Median gap between correct keys over all stages of a game.
std::optional<int> gameMedianGapMs(const GameRecord& game);
