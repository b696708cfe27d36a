#pragma once
// The play history: one SQLite file (history.sqlite in the game folder),
// opened through Qt SQL. It keeps a rollback journal, so after every save
// the one file holds the whole history (a copy of it alone is complete) and
// no checkpoint is left to a later moment. Nothing here shows a message:
// the problem of the last call is kept for the caller to report.
#include "history/records.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

constexpr int kHistorySchemaVersion = 1;
// How long a statement waits for another copy of the game to finish its own
// transaction before it gives up (the stage is then kept for a later save).
constexpr int kHistoryBusyTimeoutMs = 100;

// The problems a player needs told apart.
enum class HistoryProblem {
    None,
    SetAside,     // damaged or not ours: renamed with the date, a new one started
    NotSavedYet,  // held by another program, read-only or full: the stages wait
    NewerFile,    // written by a newer version of the game: read, never written
    CannotOpen,   // not a file a history can live in (a folder, a pipe, a loop)
};

class HistoryDatabase {
public:
    explicit HistoryDatabase(const QString& path);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    // Opens the file, creating it when missing, and checks it: a damaged
    // file or another program's database is set aside, untouched, and a new
    // one started. True when the history can at least be read.
    bool open();
    bool canWrite() const { return open_ && newerVersion_ == 0; }
    // Closes the connection (a later call opens it again).
    void close();
    // How long statements wait for another program's lock.
    void setBusyTimeout(int ms);

    // Saves a game: inserts its row when game.id is 0 (and sets it), updates
    // it otherwise, and adds game.stages[savedStages..] with their keys, in
    // one transaction; savedStages then covers every stage. False when
    // nothing was saved.
    bool saveGame(GameRecord& game, size_t& savedStages);

    // What happened in the last call (None when all went well). SetAside is
    // reported even when the call then succeeded on the new file.
    HistoryProblem problem() const { return problem_; }
    // What is wrong, in the player's words (a phrase without a full stop).
    QString reason() const { return reason_; }
    // The name the set-aside file was given.
    QString setAsidePath() const { return setAside_; }
    QString path() const { return path_; }

    QSqlDatabase connection() const;
    // Sorts a failed statement into a problem; a damaged file is closed and
    // set aside at once, so no query of this connection may still exist.
    void noteFailure(const QSqlError& error);
    void clearProblem();

private:
    enum class Opened { Ready, Failed, SetAside };
    Opened openOnce();
    Opened checkFile();
    bool createSchema();
    bool writeGame(GameRecord& game, size_t firstStage);
    void setAside();
    void setProblem(HistoryProblem problem, const QString& reason);

    QString path_;
    QString connectionName_;
    bool open_ = false;
    int newerVersion_ = 0;  // the version of a newer game's file, 0 for ours
    int busyTimeoutMs_ = kHistoryBusyTimeoutMs;
    HistoryProblem problem_ = HistoryProblem::None;
    QString reason_;
    QString setAside_;
    QSqlError error_;  // the statement that failed last
};

// The one sentence a player is told about the last problem of db.
QString historyNotice(const HistoryDatabase& db);
