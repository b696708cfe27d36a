#pragma once
// What the history stores, as observed: each game, its finished stages and
// every key struck. Scores, quotas and totals are in points as shown.
#include "state/rules.h"

#include <QDateTime>
#include <QString>
#include <optional>
#include <vector>

// Practice: a stage of 苦手特訓, stored as a game of its own; it has no
// quota, best or rank. Entry: a 数字入力 test, one stage of typed amounts;
// the keypad pages and totals leave it out, so kGameModes stops before it.
enum class GameMode { Normal, Hard, Practice, Entry };
constexpr int kGameModes = 3;

struct KeyStroke {
    qint32 ms = 0;      // since the stage clock started
    qint8 digit = 0;    // the keypad digit struck
    qint8 target = 0;   // the digit at the bottom of the stack
    bool hit = false;
};

struct StageRecord {
    int stage = 0;
    int score = 0;
    int quota = 0;
    StageVerdict verdict = StageVerdict::Clear;
    int playMs = 0;   // how long the clock ran
    std::vector<KeyStroke> keys;
};

struct GameRecord {
    qint64 id = 0;                 // the row in the file, 0 until written
    QDateTime startedAt;
    GameMode mode = GameMode::Normal;
    int total = 0;                 // including every stage so far
    GameOutcome outcome = GameOutcome::Quit;
    int lastStage = 0;             // the stage that lost the game, or the last one finished
    std::optional<int> rank;       // 0 (E) .. 5 (S), for a cleared game
    std::vector<StageRecord> stages;
};

// The words stored in the file and written to the export, and back.
QString modeName(GameMode mode);
QString verdictName(StageVerdict verdict);
QString outcomeName(GameOutcome outcome);
QString rankName(int rank);  // "E" .. "S"
std::optional<GameMode> modeFromName(const QString& name);
StageVerdict verdictFromName(const QString& name);
GameOutcome outcomeFromName(const QString& name);
std::optional<int> rankFromName(const QString& name);
