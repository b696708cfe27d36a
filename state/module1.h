#pragma once
// The game state that every screen shares. One instance, Module1, lives for
// the whole run; the screens read and write its members in place.
// Scores and quotas are held in tens of displayed points.
#include "state/datafiles.h"
#include "state/rules.h"
#include "state/sound_files.h"

#include <QColor>
#include <QString>
#include <array>
#include <vector>

constexpr int kKeyGroups = 3;    // keys 1-3, 4-6, 7-9
constexpr int kKeyRows = 6;      // display rows, 0 = key to strike now
constexpr int kQueueSlots = kKeyRows + 1;
constexpr int kNewDigitSlot = kKeyRows;  // behind the rows on screen: the next digit

// Where each mode keeps its bests (ScoreSlotBase): the game total at the
// base, stages 1-5 after it.
constexpr int kNormalSlotBase = 0;
constexpr int kHardSlotBase = 6;

struct GameState {
    // Loaded at start-up.
    std::array<QString, kRequiredFileCount> RequiredFiles;
    std::array<QString, kStageCount + 1> StageTitle;      // 1..5 used
    std::array<int, kStageCount + 1> StageKeyRange{};     // 1..9
    std::array<double, kStageCount + 1> StageGaugeStep{};
    std::array<int, kStageCount + 1> StageQuota{};
    std::array<int, kStageCount + 1> StageTimeLimit{};    // tens of seconds
    std::vector<QString> PhraseList{QString()};           // 1..PhraseTotal used
    int PhraseTotal = 0;
    std::array<int, kScoreSlots> HighScores{};
    // (The sounds' WAV images are kept by the run's sound player, platform/sound_player.h.)

    // Set when a game starts.
    int ScoreSlotBase = 0;  // kNormalSlotBase or kHardSlotBase
    int Stage = 0;          // 0..5
    int GameScore = 0;
    QColor KeyColors[kKeyGroups][kKeyRows];

    // A practice stage (苦手特訓) rather than a stage of a game: 1 from its
    // set-up until a game starts. Its digits come as often as DigitWeights
    // say (digit 1 first), fixed at set-up; empty in a game: every digit of
    // the stage's key range alike. DigitWeightsAfter, when set, holds a row
    // of such weights for each digit 1..9 that may come before: the digit
    // after it is drawn by that row instead (the drill of slow moves).
    int Practice = 0;
    std::vector<double> DigitWeights;
    std::vector<std::vector<double>> DigitWeightsAfter;

    // Set at stage set-up and changed during play.
    int StageScore = 0;
    int AnimFrame = 0;
    std::array<int, kQueueSlots> KeyQueue{};
    double GaugeLevel = 0;
    int PointsPerHit = 0;
    int PlayActive = 0;
    int PlayOver = 0;
    int GaveUp = 0;
    StageResult Result;  // the judgement of the stage just ended (keypad 0 after play)
    int ClockTens = 0;
    int ClockUnits = 0;
    std::vector<QString> PhraseDeck{QString()};  // 1..PhraseCount still available
    int PhraseCount = 0;
    QString CommentText;
    std::array<QString, 4> CommentLines;
    int CommentCount = 0;

    // Commentary log screen.
    int LogScrollMax = 0;
    int LogScrollPos = 0;
};

extern GameState Module1;

// Back to the empty state of a fresh run (used between tests).
void resetModule1();
