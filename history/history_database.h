#pragma once
// The play history: one SQLite file (history.sqlite in the game folder),
// opened through Qt SQL. Its schema version lives in PRAGMA user_version and
// older files are brought up to date on opening; it runs in WAL mode, and
// each save is one short transaction. Nothing here shows a message: the
// problem of the last call is kept for the caller to report.
#include "history/records.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

constexpr int kHistorySchemaVersion = 2;
// How long a statement waits for another copy of the game to finish its own
// transaction before it gives up (the stage is then kept for a later save).
constexpr int kHistoryBusyTimeoutMs = 100;

enum class HistoryProblem {
    None,
    KeptAside,    // the file was damaged: renamed with the date, a new one started
    Locked,       // another program holds the file
    ReadOnly,     // the file or its folder cannot be written
    DiskFull,
    NewerSchema,  // written by a newer version of the game: read, never written
    Unavailable,  // any other failure to open, read or write
};

class HistoryDatabase {
public:
    explicit HistoryDatabase(const QString& path);
    ~HistoryDatabase();
    HistoryDatabase(const HistoryDatabase&) = delete;
    HistoryDatabase& operator=(const HistoryDatabase&) = delete;

    // Opens the file, creating it when missing and migrating an older
    // schema. A damaged file is kept aside and a new one started. True when
    // the history can at least be read; once open it stays open.
    bool open();
    bool isOpen() const { return open_; }
    bool canWrite() const { return open_ && writable_; }
    // user_version of the file as found on opening (0 for a new file).
    int foundVersion() const { return foundVersion_; }

    // Saves a game: inserts its row when gameId is 0 (and sets gameId),
    // updates it otherwise, and adds game.stages[savedStages..] with their
    // keys, all in one transaction; savedStages then covers every stage. A
    // damaged file found on the way is kept aside and the whole game
    // written to a new one. False when nothing was saved.
    bool saveGame(const GameRecord& game, size_t& savedStages, qint64& gameId);

    // What happened in the last call (None when all went well). KeptAside
    // is reported even when the call then succeeded on the new file.
    HistoryProblem problem() const { return problem_; }
    QString problemDetail() const { return detail_; }
    // The name the damaged file was given, after KeptAside.
    QString keptAsidePath() const { return keptAside_; }
    QString path() const { return path_; }

    QSqlDatabase connection() const;
    // Sorts a failed statement into a problem. A damaged file is closed and
    // kept aside at once, so no query of this connection may still exist.
    void noteFailure(const QSqlError& error);
    void clearProblem();

private:
    enum class Prepared { Ready, Failed, NotOurs };
    bool openOnce();
    void closeConnection();
    Prepared prepareFile(QSqlError& error);
    bool migrate(int fromVersion, QSqlError& error);
    bool writeGame(const GameRecord& game, size_t firstStage, qint64& gameId, QSqlError& error);
    void keepAside();
    void setProblem(HistoryProblem problem, const QString& detail);

    QString path_;
    QString connectionName_;
    bool open_ = false;
    bool writable_ = false;
    int foundVersion_ = 0;
    HistoryProblem problem_ = HistoryProblem::None;
    QString detail_;
    QString keptAside_;
};

// The 30 per-second hit counts as stored: numbers separated by spaces.
QString joinSeconds(const std::array<int, kStageSeconds>& seconds);
std::array<int, kStageSeconds> splitSeconds(const QString& text);
