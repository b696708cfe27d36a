// Opening, migrating and writing the history file.
#include "history/history_database.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace {
// SQLite's primary result codes (the low byte of an extended code).
constexpr int kSqlitePerm = 3;
constexpr int kSqliteBusy = 5;
constexpr int kSqliteLocked = 6;
constexpr int kSqliteReadOnly = 8;
constexpr int kSqliteCorrupt = 11;
constexpr int kSqliteFull = 13;
constexpr int kSqliteCantOpen = 14;
constexpr int kSqliteNotADb = 26;

int sqliteCode(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("quennel-history-%1").arg(++counter);
}

// Version 1: games, their stages and every key.
const char* const kSchemaV1[] = {
    "CREATE TABLE games ("
    " id INTEGER PRIMARY KEY,"
    " started_at TEXT NOT NULL,"       // ISO 8601, local time with its offset
    " mode TEXT NOT NULL,"             // normal | hard
    " total INTEGER NOT NULL,"         // points as shown, every finished stage
    " outcome TEXT NOT NULL,"          // cleared | lost | quit
    " last_stage INTEGER NOT NULL,"
    " rank TEXT)",                     // E..S for a cleared game
    "CREATE TABLE stages ("
    " id INTEGER PRIMARY KEY,"
    " game_id INTEGER NOT NULL REFERENCES games(id) ON DELETE CASCADE,"
    " stage INTEGER NOT NULL,"
    " score INTEGER NOT NULL,"
    " quota INTEGER NOT NULL,"
    " verdict TEXT NOT NULL,"          // clear | failure | giveup
    " hits INTEGER NOT NULL,"
    " misses INTEGER NOT NULL,"
    " longest_streak INTEGER NOT NULL,"
    " keys_per_second REAL NOT NULL,"
    " play_ms INTEGER NOT NULL,"
    " UNIQUE (game_id, stage))",
    "CREATE TABLE keys ("
    " stage_id INTEGER NOT NULL REFERENCES stages(id) ON DELETE CASCADE,"
    " ms INTEGER NOT NULL,"            // since the stage clock started
    " digit INTEGER NOT NULL,"
    " target INTEGER NOT NULL,"
    " hit INTEGER NOT NULL)",
    "CREATE INDEX keys_by_stage ON keys (stage_id)",
};

// Version 2: the timing figures, filled in for the stages already stored.
const char* const kSchemaV2[] = {
    "ALTER TABLE stages ADD COLUMN median_gap_ms INTEGER",
    "ALTER TABLE stages ADD COLUMN p90_gap_ms INTEGER",
    "ALTER TABLE stages ADD COLUMN hits_per_second TEXT",
    "ALTER TABLE games ADD COLUMN median_gap_ms INTEGER",
    "CREATE INDEX games_by_mode ON games (mode, id)",
};

template <size_t N>
bool execAll(QSqlDatabase& db, const char* const (&statements)[N], QSqlError& error)
{
    QSqlQuery q(db);
    for (const char* statement : statements) {
        if (!q.exec(QString::fromLatin1(statement))) {
            error = q.lastError();
            return false;
        }
    }
    return true;
}

QVariant optionalValue(const std::optional<int>& value)
{
    return value ? QVariant(*value) : QVariant(QMetaType(QMetaType::Int));
}

// Fills the version 2 figures of every stored stage and game from its keys.
bool backfillTimings(QSqlDatabase& db, QSqlError& error)
{
    struct Stage { qint64 id; qint64 gameId; std::vector<KeyStroke> keys; };
    std::vector<Stage> stages;
    {
        QSqlQuery q(db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT s.id, s.game_id, k.ms, k.hit FROM stages s"
                                   " LEFT JOIN keys k ON k.stage_id = s.id"
                                   " ORDER BY s.game_id, s.stage, k.rowid"))) {
            error = q.lastError();
            return false;
        }
        while (q.next()) {
            const qint64 id = q.value(0).toLongLong();
            if (stages.empty() || stages.back().id != id)
                stages.push_back({id, q.value(1).toLongLong(), {}});
            if (!q.isNull(2)) {
                KeyStroke key;
                key.ms = q.value(2).toInt();
                key.hit = q.value(3).toInt() != 0;
                stages.back().keys.push_back(key);
            }
        }
    }
    QSqlQuery stageUpdate(db);
    stageUpdate.prepare(QStringLiteral("UPDATE stages SET median_gap_ms = ?, p90_gap_ms = ?,"
                                       " hits_per_second = ? WHERE id = ?"));
    QSqlQuery gameUpdate(db);
    gameUpdate.prepare(QStringLiteral("UPDATE games SET median_gap_ms = ? WHERE id = ?"));
    std::vector<int> gameGaps;
    for (size_t i = 0; i < stages.size(); ++i) {
        const Stage& s = stages[i];
        const StageFigures f = stageFigures(s.keys, 0);
        stageUpdate.addBindValue(optionalValue(f.medianGapMs));
        stageUpdate.addBindValue(optionalValue(f.p90GapMs));
        stageUpdate.addBindValue(joinSeconds(f.hitsPerSecond));
        stageUpdate.addBindValue(s.id);
        if (!stageUpdate.exec()) {
            error = stageUpdate.lastError();
            return false;
        }
        const std::vector<int> gaps = hitGaps(s.keys);
        gameGaps.insert(gameGaps.end(), gaps.begin(), gaps.end());
        if (i + 1 == stages.size() || stages[i + 1].gameId != s.gameId) {
            gameUpdate.addBindValue(optionalValue(medianOf(std::move(gameGaps))));
            gameUpdate.addBindValue(s.gameId);
            if (!gameUpdate.exec()) {
                error = gameUpdate.lastError();
                return false;
            }
            gameGaps.clear();
        }
    }
    return true;
}
}  // namespace

QString joinSeconds(const std::array<int, kStageSeconds>& seconds)
{
    QStringList parts;
    for (int n : seconds)
        parts << QString::number(n);
    return parts.join(QLatin1Char(' '));
}

std::array<int, kStageSeconds> splitSeconds(const QString& text)
{
    std::array<int, kStageSeconds> seconds{};
    const QStringList parts = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < kStageSeconds && i < parts.size(); ++i)
        seconds[i] = parts[i].toInt();
    return seconds;
}

HistoryDatabase::HistoryDatabase(const QString& path)
    : path_(path), connectionName_(nextConnectionName())
{
}

HistoryDatabase::~HistoryDatabase()
{
    closeConnection();
}

QSqlDatabase HistoryDatabase::connection() const
{
    return QSqlDatabase::database(connectionName_, false);
}

void HistoryDatabase::closeConnection()
{
    if (QSqlDatabase::contains(connectionName_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connectionName_);
    }
    open_ = false;
    writable_ = false;
}

void HistoryDatabase::setProblem(HistoryProblem problem, const QString& detail)
{
    // A file kept aside stays the news of this call, whatever follows.
    if (problem_ == HistoryProblem::KeptAside && problem != HistoryProblem::KeptAside)
        return;
    problem_ = problem;
    detail_ = detail;
}

void HistoryDatabase::clearProblem()
{
    problem_ = HistoryProblem::None;
    detail_.clear();
}

void HistoryDatabase::noteFailure(const QSqlError& error)
{
    const QString detail = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    switch (sqliteCode(error)) {
    case kSqliteBusy:
    case kSqliteLocked:
        setProblem(HistoryProblem::Locked, detail);
        break;
    case kSqliteReadOnly:
    case kSqlitePerm:
        setProblem(HistoryProblem::ReadOnly, detail);
        break;
    case kSqliteFull:
        setProblem(HistoryProblem::DiskFull, detail);
        break;
    case kSqliteCorrupt:
    case kSqliteNotADb:
        setProblem(HistoryProblem::KeptAside, detail);
        keepAside();
        break;
    case kSqliteCantOpen: {
        const QFileInfo file(path_);
        const QFileInfo folder(file.absolutePath());
        const bool blocked = (file.exists() && !file.isWritable()) || (!file.exists() && !folder.isWritable());
        setProblem(blocked ? HistoryProblem::ReadOnly : HistoryProblem::Unavailable, detail);
        break;
    }
    default:
        setProblem(HistoryProblem::Unavailable, detail);
        break;
    }
}

void HistoryDatabase::keepAside()
{
    closeConnection();
    const QFileInfo file(path_);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    const QString base = file.absolutePath() + QLatin1Char('/') + file.completeBaseName() +
                         QStringLiteral(".broken-") + stamp;
    QString aside = base + QStringLiteral(".sqlite");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = base + QStringLiteral("-%1.sqlite").arg(n);
    if (!QFile::rename(path_, aside)) {
        setProblem(HistoryProblem::Unavailable,
                   QStringLiteral("cannot rename %1 to %2").arg(file.fileName(), QFileInfo(aside).fileName()));
        return;
    }
    // The write-ahead log belongs to the damaged file; the shared-memory
    // index is rebuilt by whoever opens it.
    QFile::rename(path_ + QStringLiteral("-wal"), aside + QStringLiteral("-wal"));
    QFile::remove(path_ + QStringLiteral("-shm"));
    keptAside_ = aside;
}

bool HistoryDatabase::open()
{
    if (open_)
        return true;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (openOnce())
            return true;
        // Only a damaged file that is now out of the way is worth a second
        // try, which starts a new one.
        if (problem_ != HistoryProblem::KeptAside || keptAside_.isEmpty() || QFileInfo::exists(path_))
            return false;
    }
    return false;
}

bool HistoryDatabase::openOnce()
{
    QSqlError error;
    bool opened = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db.setDatabaseName(path_);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kHistoryBusyTimeoutMs));
        opened = db.open();
        if (!opened)
            error = db.lastError();
    }
    const Prepared prepared = opened ? prepareFile(error) : Prepared::Failed;
    if (prepared == Prepared::Ready) {
        open_ = true;
        return true;
    }
    closeConnection();
    if (prepared == Prepared::NotOurs) {
        // Some other database under our name: keep it, start our own.
        setProblem(HistoryProblem::KeptAside, QStringLiteral("not a play history"));
        keepAside();
    } else {
        noteFailure(error);
    }
    return false;
}

HistoryDatabase::Prepared HistoryDatabase::prepareFile(QSqlError& error)
{
    QSqlDatabase db = connection();
    int tables = 0;
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next()) {
            error = q.lastError();
            return Prepared::Failed;
        }
        foundVersion_ = q.value(0).toInt();
        if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")) || !q.next()) {
            error = q.lastError();
            return Prepared::Failed;
        }
        tables = q.value(0).toInt();
    }
    if (foundVersion_ > kHistorySchemaVersion) {
        // Left exactly as it is: read what can be read, write nothing.
        writable_ = false;
        setProblem(HistoryProblem::NewerSchema, QString::number(foundVersion_));
        return Prepared::Ready;
    }
    if (foundVersion_ == 0 && tables > 0)
        return Prepared::NotOurs;
    {
        QSqlQuery q(db);
        // WAL: a save appends to the log without rewriting the file, and a
        // second copy of the game can read while this one writes.
        q.exec(QStringLiteral("PRAGMA journal_mode = WAL"));
        q.exec(QStringLiteral("PRAGMA synchronous = NORMAL"));
        q.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    }
    if (foundVersion_ < kHistorySchemaVersion && !migrate(foundVersion_, error))
        return Prepared::Failed;
    writable_ = true;
    return Prepared::Ready;
}

bool HistoryDatabase::migrate(int fromVersion, QSqlError& error)
{
    QSqlDatabase db = connection();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        error = q.lastError();
        return false;
    }
    // Another copy may have migrated while this one was opening.
    int version = fromVersion;
    if (q.exec(QStringLiteral("PRAGMA user_version")) && q.next())
        version = q.value(0).toInt();
    bool ok = true;
    if (version < 1)
        ok = execAll(db, kSchemaV1, error);
    if (ok && version < 2)
        ok = execAll(db, kSchemaV2, error) && backfillTimings(db, error);
    if (ok && version < kHistorySchemaVersion) {
        ok = q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kHistorySchemaVersion));
        if (!ok)
            error = q.lastError();
    }
    if (ok && !q.exec(QStringLiteral("COMMIT"))) {
        error = q.lastError();
        ok = false;
    }
    if (!ok)
        q.exec(QStringLiteral("ROLLBACK"));
    return ok;
}

bool HistoryDatabase::saveGame(const GameRecord& game, size_t& savedStages, qint64& gameId)
{
    clearProblem();
    keptAside_.clear();
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!open())
            return false;
        if (!writable_) {
            if (problem_ == HistoryProblem::None)
                setProblem(HistoryProblem::NewerSchema, QString::number(foundVersion_));
            return false;
        }
        QSqlError error;
        if (writeGame(game, savedStages, gameId, error)) {
            savedStages = game.stages.size();
            return true;
        }
        noteFailure(error);
        if (problem_ != HistoryProblem::KeptAside || open_)
            return false;
        // The stages saved so far went with the damaged file.
        gameId = 0;
        savedStages = 0;
    }
    return false;
}

bool HistoryDatabase::writeGame(const GameRecord& game, size_t firstStage, qint64& gameId,
                                QSqlError& error)
{
    QSqlDatabase db = connection();
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        error = q.lastError();
        return false;
    }
    auto fail = [&](const QSqlQuery& failed) {
        error = failed.lastError();
        QSqlQuery rollback(db);
        rollback.exec(QStringLiteral("ROLLBACK"));
        return false;
    };

    const QVariant rank = game.rank ? QVariant(rankName(*game.rank)) : QVariant(QMetaType(QMetaType::QString));
    qint64 id = gameId;
    if (id != 0) {
        q.prepare(QStringLiteral("UPDATE games SET total = ?, outcome = ?, last_stage = ?, rank = ?,"
                                 " median_gap_ms = ? WHERE id = ?"));
        q.addBindValue(game.total);
        q.addBindValue(outcomeName(game.outcome));
        q.addBindValue(game.lastStage);
        q.addBindValue(rank);
        q.addBindValue(optionalValue(gameMedianGapMs(game)));
        q.addBindValue(id);
        if (!q.exec())
            return fail(q);
        if (q.numRowsAffected() == 0)
            id = 0;  // the row was removed meanwhile: write it anew
    }
    if (id == 0) {
        q.prepare(QStringLiteral("INSERT INTO games (started_at, mode, total, outcome, last_stage, rank,"
                                 " median_gap_ms) VALUES (?, ?, ?, ?, ?, ?, ?)"));
        q.addBindValue(game.startedAt.toString(Qt::ISODate));
        q.addBindValue(modeName(game.mode));
        q.addBindValue(game.total);
        q.addBindValue(outcomeName(game.outcome));
        q.addBindValue(game.lastStage);
        q.addBindValue(rank);
        q.addBindValue(optionalValue(gameMedianGapMs(game)));
        if (!q.exec())
            return fail(q);
        id = q.lastInsertId().toLongLong();
    }

    QSqlQuery stageInsert(db);
    stageInsert.prepare(QStringLiteral(
        "INSERT INTO stages (game_id, stage, score, quota, verdict, hits, misses, longest_streak,"
        " keys_per_second, play_ms, median_gap_ms, p90_gap_ms, hits_per_second)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    QSqlQuery keyInsert(db);
    keyInsert.prepare(QStringLiteral("INSERT INTO keys (stage_id, ms, digit, target, hit) VALUES (?, ?, ?, ?, ?)"));
    for (size_t i = firstStage; i < game.stages.size(); ++i) {
        const StageRecord& stage = game.stages[i];
        const StageFigures f = stageFigures(stage.keys, stage.playMs);
        stageInsert.addBindValue(id);
        stageInsert.addBindValue(stage.stage);
        stageInsert.addBindValue(stage.score);
        stageInsert.addBindValue(stage.quota);
        stageInsert.addBindValue(verdictName(stage.verdict));
        stageInsert.addBindValue(f.hits);
        stageInsert.addBindValue(f.misses);
        stageInsert.addBindValue(f.longestStreak);
        stageInsert.addBindValue(f.keysPerSecond);
        stageInsert.addBindValue(stage.playMs);
        stageInsert.addBindValue(optionalValue(f.medianGapMs));
        stageInsert.addBindValue(optionalValue(f.p90GapMs));
        stageInsert.addBindValue(joinSeconds(f.hitsPerSecond));
        if (!stageInsert.exec())
            return fail(stageInsert);
        const qint64 stageId = stageInsert.lastInsertId().toLongLong();
        for (const KeyStroke& key : stage.keys) {
            keyInsert.addBindValue(stageId);
            keyInsert.addBindValue(static_cast<int>(key.ms));
            keyInsert.addBindValue(static_cast<int>(key.digit));
            keyInsert.addBindValue(static_cast<int>(key.target));
            keyInsert.addBindValue(key.hit ? 1 : 0);
            if (!keyInsert.exec())
                return fail(keyInsert);
        }
    }
    if (!q.exec(QStringLiteral("COMMIT")))
        return fail(q);
    gameId = id;
    return true;
}
