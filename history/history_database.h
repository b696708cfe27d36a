#pragma once
// The play history: one SQLite file in the game folder. A rollback journal
// leaves the whole history in the one file after every save. Nothing here
// shows a message: the problem of the last call is kept for the caller.
#include "history/records.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

// 2 added stage_keys, each stage's key and hit counts, filled from keys
// when a file of 1 is first opened to write.
constexpr int kHistorySchemaVersion = 2;
constexpr int kOldestHistoryVersion = 1;
// A newer game adds a version now and then; a number further ahead than
// this is a damaged header, not a newer file.
constexpr int kHistoryVersionsAhead = 16;
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

// What went wrong, for the screens to put in the player's words.
struct HistoryReport {
    HistoryProblem problem = HistoryProblem::None;
    QString reason;      // a phrase, no full stop
    QString path;
    QString setAsidePath;
};

class HistoryDatabase {
public:
    explicit HistoryDatabase(const QString& path);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    // Opens (or creates) and checks the file: a damaged file or another
    // program's database is set aside and a new one started. True when the
    // history can at least be read.
    bool open();
    // Opens for reading without checking the whole file first: damage shows
    // only where the reads go. open() later checks it before any write.
    bool openToRead();
    bool canWrite() const { return open_ && newerVersion_ == 0 && !readOnly_; }
    // From now on the file is only read: never created, changed or set
    // aside; damage or another program's database is only reported. For
    // the exports, which must leave the game folder as it is.
    void setReadOnly() { readOnly_ = true; }
    void close();  // a later call opens it again
    void setBusyTimeout(int ms);  // the wait for another program's lock

    // In one transaction: inserts the game (setting game.id) or updates its
    // row, and adds game.stages[savedStages..] with their keys; savedStages
    // then covers every stage. False when nothing was saved.
    bool saveGame(GameRecord& game, size_t& savedStages);

    // What happened in the last call (None when all went well). SetAside is
    // reported even when the call then succeeded on the new file.
    HistoryProblem problem() const { return problem_; }
    QString reason() const { return reason_; }  // a phrase, no full stop
    QString setAsidePath() const { return setAside_; }
    QString path() const { return path_; }
    HistoryReport report() const { return {problem_, reason_, path_, setAside_}; }

    QSqlDatabase connection() const;
    // Sorts a failed statement into a problem; a damaged file is closed and
    // set aside at once, so no query of this connection may still exist.
    void noteFailure(const QSqlError& error);
    void clearProblem();

private:
    enum class Opened { Ready, Failed, SetAside };
    enum class Created { Made, Found, Failed };
    bool openChecked(bool check);
    bool openOnce(bool check);
    Opened checkFile(bool check);
    Opened damaged();
    bool readHeader(int& version, int& tables);
    Created createIfFresh(int& version, int& tables);
    // Fills what an older file lacks; false when it cannot be written.
    bool upgrade(int version);
    bool writeGame(GameRecord& game, size_t firstStage);
    void setAside();
    void setProblem(HistoryProblem problem, const QString& reason);

    QString path_;
    QString connectionName_;
    bool open_ = false;
    bool checked_ = false;  // quick_check passed (or a fresh or newer file)
    int newerVersion_ = 0;  // the version of a newer game's file, 0 for ours
    bool readOnly_ = false;
    // The last failure that no lock, full disk or permission explains, kept
    // for the whole run: the same one twice means a damaged file.
    QString unexplained_;
    bool firstUnexplained_ = false;  // the last call met such a failure for the first time
    int busyTimeoutMs_ = kHistoryBusyTimeoutMs;
    HistoryProblem problem_ = HistoryProblem::None;
    QString reason_;
    QString setAside_;
    QSqlError error_;  // the statement that failed last
};

