#pragma once
// Reading the history back: games with their stages and every key in the
// order struck, and the figures プレイ記録 and the practice stage are drawn
// from. Only the latest games are read (through the games_by_mode and
// keys_by_stage indexes), so the time to read does not grow with the
// length of the history. On failure the problem is noted on db (a damaged
// file is kept aside) and nothing is returned.
#include "history/digit_trend.h"
#include "history/entry_figures.h"
#include "history/history_database.h"
#include "history/play_calendar.h"
#include "history/stage_figures.h"

#include <QDateTime>
#include <array>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

struct GameFilter {
    GameFilter(std::optional<GameMode> onlyMode = std::nullopt, int latestGames = 0, bool entryToo = false)
        : mode(onlyMode), latest(latestGames), withEntry(entryToo)
    {
    }
    std::optional<GameMode> mode;  // every mode when empty
    int latest = 0;                // only the latest n games; 0 for all
    // Without a mode, 数字入力 tests count only when asked for: the pages
    // of stages and digits have no place for them.
    bool withEntry = false;
    // Only games begun on this local date or later.
    std::optional<QDate> since;
    // With since: only the latest n games of each week (from Monday) after
    // it; 0 for all.
    int latestPerWeek = 0;
};

// Calls visit for each game the filter selects, oldest first. False when
// the file cannot be read.
bool forEachGame(HistoryDatabase& db, const GameFilter& filter,
                 const std::function<void(const GameRecord&)>& visit);
// The latest n games (of one mode, or of all), oldest first.
std::optional<std::vector<GameRecord>> latestGames(HistoryDatabase& db, std::optional<GameMode> mode, int n);

// The pages of totals, gaps, accuracy, stage bests and the last game.
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
    int gameCount = 0;  // games of the stages and practice stages
    int testCount = 0;  // 数字入力 tests, counted apart
    bool lastWasTest = false;  // the latest thing played was a 数字入力 test
    // Per mode (GameMode as index), the latest games, oldest first.
    std::array<std::vector<GamePoint>, kModeCount> recent;
    // Per mode and stage (0..4), the best stage score in the history.
    std::array<std::array<std::optional<int>, kStageCount>, kModeCount> stageBest;
    // The games of both scored modes in the history and the keys struck in
    // them: what the stage bests are drawn from.
    int scoredGames = 0;
    qint64 scoredKeys = 0;
    std::optional<GamePoint> lastGame;
    std::vector<StageSummary> lastGameStages;
    // The days played, up to today on the calendar's clock.
    PlayCalendar calendar;
    // Per mode (normal, hard, practice), each digit's recent weeks.
    std::array<DigitTrend, kGameModes> digitTrends;
};


// The clock time played (every stage's, of every mode) on each local date
// a game began, one span a day (its start at noon of that date), in no
// particular order.
std::optional<std::vector<PlaySpan>> readPlayTimes(HistoryDatabase& db);

// Normal 0, hard 1, practice 2 (which has no totals or bests of its own).
inline int modeIndex(GameMode mode) { return static_cast<int>(mode); }

// The insight pages: the keypad's digits over the last games of each mode,
// and the keystrokes per hour of the latest games of both modes in the
// order they were played.
constexpr int kSpeedGames = 50;  // games on the keystrokes-per-hour page

struct SpeedPoint {
    qint64 id = 0;
    GameMode mode = GameMode::Normal;
    GameSpeed speed;
};

// A 数字入力 test on the keystrokes-per-hour page: its net KPH.
struct EntrySpeedPoint {
    qint64 id = 0;
    std::optional<double> netKph;
};

struct InsightData {
    // Per mode (normal, hard, practice), from its last kInsightGames games.
    std::array<KeypadInsight, kGameModes> keypad;
    std::vector<SpeedPoint> speeds;  // oldest first
    // 数字入力: the keys of its last kInsightGames tests, and the net KPH
    // of its last kSpeedGames tests (oldest first), a line of their own.
    EntryKeypad entryKeypad;
    std::vector<EntrySpeedPoint> entrySpeeds;
    // The longest run of correct keys in each stage of the last game (by
    // stage number, 1 first); empty for a stage not played.
    std::array<std::optional<int>, kStageCount> lastGameStreaks{};
    // The fastest game of each mode (normal, hard, practice) in the whole
    // history, and 数字入力's best net KPH among the tests above.
    std::array<std::optional<double>, kGameModes + 1> bestKph{};
};

// プレイ記録 reads its figures in parts, each when a page that shows it is
// first turned to, so that the screen opens, and each page turns, as fast
// with a long history as with a short one.
enum class ProgressPart {
    Recent,       // the latest games of both modes (totals, gaps, accuracy)
    StageBests,
    LastGame,     // its stages and their longest runs of correct keys
    Keypad,       // the keypad pages, every mode and 数字入力
    Speed,        // keys per hour, the tests' net, each mode's best
    Calendar,
    DigitTrends,
};

// The counts of games and tests, then these parts. Without figures (and
// the problem noted on db) when the file cannot be read.
std::optional<ProgressData> readProgress(HistoryDatabase& db,
                                         std::initializer_list<ProgressPart> parts = {
                                             ProgressPart::Recent, ProgressPart::StageBests, ProgressPart::LastGame,
                                             ProgressPart::Calendar, ProgressPart::DigitTrends});
// One part's figures into data and insight, replacing what they held of
// it. False (the problem noted on db) when the file cannot be read.
bool readProgressPart(HistoryDatabase& db, ProgressPart part, ProgressData& data, InsightData& insight);
// The parts of the insight pages and the last game's runs.
std::optional<InsightData> readInsight(HistoryDatabase& db);

// The keypad figures a practice stage's weights come from: the latest
// kPracticeGames games of every mode, practice stages included.
std::optional<KeypadInsight> practiceFigures(HistoryDatabase& db);

// The latest stage of a mode's games with this stage number and score (in
// points): the run that set a stage best, with its keys. None when the
// history holds no such stage (or cannot be read).
std::optional<StageRecord> stageRunWithScore(HistoryDatabase& db, GameMode mode, int stage, int score);
