#pragma once
// The history of the game being played: keys go to memory during a stage,
// which is written in one transaction when it ends. Nothing the file does
// stops or slows play: a problem becomes a notice for the screens, and
// stages not written are tried again at the next save and at exit.
#include "history/history_database.h"

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

// The file's name in the game folder.
extern const char* const kHistoryFileName;  // "history.sqlite"

// Milliseconds of a steady clock; tests replace it (nullptr restores it).
using MonotonicClock = std::function<qint64()>;
void setHistoryMonotonicClock(MonotonicClock clock);

class GameRecorder {
public:
    // A game starts (title keypad 4 or 6); the history file is opened.
    void gameStarted(GameMode mode);
    // The same in two steps: the game noted in memory, then the file
    // opened (and games held back written) once the play screen is up.
    void noteGameStart(GameMode mode);
    void openForGame();
    // The stage clock starts: key times count from here.
    void clockStarted();
    // A keypad digit judged during play: appended to memory, nothing else.
    void keyJudged(int digit, int target, bool hit);
    // The stage ended and is written. Scores are in the game's own units;
    // gameScoreBefore is the total of the earlier stages.
    void stageEnded(int stage, int stageScore, int quota, int gameScoreBefore, StageVerdict verdict);
    // A 数字入力 test's clock ran out: its one stage is written, scored by
    // its net keystrokes (keys are struck, expected and matched as
    // entry_figures.h names them).
    void entryEnded(int netKeys);

    // The game being played, with the stages ended so far; nullptr before
    // the first game.
    const GameRecord* currentGame() const;
    // The history file (opened on first use), for the progress screen.
    HistoryDatabase& database();
    // Begins checking the whole file while nothing else needs it (the
    // title is shown), so the first game's start need not wait for it.
    void checkAhead();
    // Writes the stages held back, if the file now takes them.
    void saveHeldBack();
    // The program ends: one last brief try to write what is held back; the
    // file is closed. Returns how many stages are still unwritten.
    int finish();
    // Turns the problem of db's last call into a notice (each kind once per run).
    void noteProblem(const HistoryDatabase& db);
    std::vector<HistoryReport> takeNotices();
    // Forgets everything (between tests); the file is closed.
    void reset();

private:
    struct Entry {
        GameRecord game;
        size_t savedStages = 0;
        bool dirty = false;
    };

    qint64 clockStart_ = 0;
    std::vector<KeyStroke> keys_;
    std::vector<Entry> games_;   // the current game last; earlier ones only while unsaved
    std::unique_ptr<HistoryDatabase> db_;
    QString dbPath_;
    std::vector<HistoryReport> notices_;
    std::vector<HistoryProblem> told_;
};

// The one recorder of the running game.
GameRecorder& gameHistory();
