#pragma once
// The history of the game being played. During a stage the only work is
// appending each judged key to memory; the stage is written to the history
// file when it ends (time-up or give-up), in one transaction. Nothing the
// file does can stop or slow play: a problem is kept as a notice for the
// screens to show at a calm moment, and stages that could not be written are
// tried again whenever the history is next touched and once more at exit.
#include "history/history_database.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// The file's name in the game folder.
extern const char* const kHistoryFileName;  // "history.sqlite"

// Milliseconds of a steady clock; tests replace it (nullptr restores it).
using MonotonicClock = std::function<qint64()>;
MonotonicClock setHistoryMonotonicClock(MonotonicClock clock);

class GameRecorder {
public:
    GameRecorder();
    ~GameRecorder();

    // A game starts (title keypad 4 or 6); the history file is opened.
    void gameStarted(GameMode mode);
    // The stage clock starts: key times count from here.
    void clockStarted();
    // A keypad digit judged during play: appended to memory, nothing else.
    void keyJudged(int digit, int target, bool hit);
    // The stage ended: figures it out and writes it. stageScore, quota and
    // gameScoreBefore are in the game's own units (tens of points);
    // gameScoreBefore is the total of the earlier stages.
    void stageEnded(int stage, int stageScore, int quota, int gameScoreBefore, StageVerdict verdict);

    // The history file (opened on first use), for the progress screen.
    HistoryDatabase& database();
    // Writes the stages held back, if the file now takes them.
    void saveHeldBack();
    // The program ends: one last, brief try (at most about a second) to
    // write what is held back, then the file is closed. Returns how many
    // stages are still unwritten.
    int finish();
    // Turns the problem of the database's last call into a notice.
    void noteProblem(const HistoryDatabase& db);
    // Notices that wait to be shown (each kind of problem once per run).
    QStringList takeNotices();
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
    QStringList notices_;
    std::vector<HistoryProblem> told_;
};

// The one recorder of the running game.
GameRecorder& gameHistory();
