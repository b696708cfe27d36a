// Opening, checking and writing the history file.
#include "history/history_database.h"

#include "history/history_check_ahead.h"

#include "platform/error_words.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>
#include <cerrno>

namespace {
// SQLite's primary result codes (the low byte of an extended code).
enum SqliteCode { kError = 1, kInternal = 2, kPerm = 3, kBusy = 5, kLocked = 6, kReadOnly = 8, kIoErr = 10, kCorrupt = 11,
                  kFull = 13, kCantOpen = 14, kFormat = 24, kNotADb = 26 };

// SQLite keeps up to 2 MB of the file's pages by default, so the game held
// a little more memory after every game until the history passed that size.
// A save touches only the last pages of its tables, and the pages read for
// プレイ記録 are read once each: a small cache costs neither.
constexpr int kPageCacheKiB = 64;

// Each stage's keys counted, written with them: the fastest game of a mode
// is found without reading every key of the history.
const char* const kStageKeysTable =
    "CREATE TABLE stage_keys ("
    " stage_id INTEGER PRIMARY KEY REFERENCES stages(id) ON DELETE CASCADE,"
    " keys INTEGER NOT NULL,"
    " hits INTEGER NOT NULL)";

const char* const kSchema[] = {
    "CREATE TABLE games ("
    " id INTEGER PRIMARY KEY,"
    " started_at TEXT NOT NULL,"       // ISO 8601, local time with its offset
    " mode TEXT NOT NULL,"             // normal | hard | practice
    " total INTEGER NOT NULL,"         // points as shown, every finished stage
    " outcome TEXT NOT NULL,"          // cleared | lost | quit
    " last_stage INTEGER NOT NULL,"
    " rank TEXT)",                     // E..S for a cleared game
    "CREATE INDEX games_by_mode ON games (mode, id)",
    "CREATE TABLE stages ("
    " id INTEGER PRIMARY KEY,"
    " game_id INTEGER NOT NULL REFERENCES games(id) ON DELETE CASCADE,"
    " stage INTEGER NOT NULL,"
    " score INTEGER NOT NULL,"
    " quota INTEGER NOT NULL,"
    " verdict TEXT NOT NULL,"          // clear | failure | giveup
    " play_ms INTEGER NOT NULL,"       // how long the clock ran
    " UNIQUE (game_id, stage))",
    "CREATE TABLE keys ("
    " stage_id INTEGER NOT NULL REFERENCES stages(id) ON DELETE CASCADE,"
    " ms INTEGER NOT NULL,"            // since the stage clock started
    " digit INTEGER NOT NULL,"
    " target INTEGER NOT NULL,"
    " hit INTEGER NOT NULL)",
    "CREATE INDEX keys_by_stage ON keys (stage_id)",
    kStageKeysTable,
};

// Every column the game reads: a database without them is not ours.
const char* const kShape[] = {
    "SELECT id, started_at, mode, total, outcome, last_stage, rank FROM games LIMIT 0",
    "SELECT id, game_id, stage, score, quota, verdict, play_ms FROM stages LIMIT 0",
    "SELECT stage_id, ms, digit, target, hit FROM keys LIMIT 0",
};

int sqliteCode(const QSqlError& error)
{
    bool ok = false;
    const int code = error.nativeErrorCode().toInt(&ok);
    return ok ? (code & 0xff) : -1;
}

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

QString nextConnectionName()
{
    static std::atomic<int> counter{0};
    return QStringLiteral("quennel-history-%1").arg(++counter);
}
}  // namespace

HistoryDatabase::HistoryDatabase(const QString& path)
    : path_(path), connectionName_(nextConnectionName())
{
}

HistoryDatabase::~HistoryDatabase()
{
    close();
}

QSqlDatabase HistoryDatabase::connection() const
{
    return QSqlDatabase::database(connectionName_, false);
}

void HistoryDatabase::close()
{
    if (QSqlDatabase::contains(connectionName_)) {
        connection().close();
        QSqlDatabase::removeDatabase(connectionName_);
    }
    open_ = false;
    checked_ = false;
    newerVersion_ = 0;
}

void HistoryDatabase::setBusyTimeout(int ms)
{
    busyTimeoutMs_ = ms;
    if (open_)
        QSqlQuery(connection()).exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(ms));
}

void HistoryDatabase::setProblem(HistoryProblem problem, const QString& reason)
{
    // A file set aside stays the news of this call, whatever follows.
    if (problem_ == HistoryProblem::SetAside && problem != HistoryProblem::SetAside)
        return;
    problem_ = problem;
    reason_ = reason;
}

void HistoryDatabase::clearProblem()
{
    problem_ = HistoryProblem::None;
    reason_.clear();
    setAside_.clear();
}

void HistoryDatabase::noteFailure(const QSqlError& error)
{
    const int code = sqliteCode(error);
    firstUnexplained_ = false;
    if (code == kCorrupt || code == kNotADb) {
        if (newerVersion_ != 0 || readOnly_)
            return setProblem(HistoryProblem::CannotOpen, u8("壊れています"));
        setProblem(HistoryProblem::SetAside, u8("壊れていた"));
        return setAside();
    }
    QString reason = u8("読み書きの途中でエラーが起きました");
    if (code == kBusy || code == kLocked) {
        reason = u8("別のクェネルなど、ほかのプログラムが使っています");
    } else if (code == kReadOnly || code == kPerm || code == kCantOpen) {
        // SQLite says "cannot open" for a file it may not read, too.
        QFile file(path_);
        if (file.exists() && !file.open(QIODevice::ReadOnly))
            return setProblem(HistoryProblem::CannotOpen, u8("ファイルを読む権限がありません"));
        reason = u8("ファイルかフォルダが書き込み禁止です");
    } else if (code == kFull) {
        reason = japaneseReason(ENOSPC);
    } else if (code == kIoErr) {
        reason = japaneseReason(EIO);
    } else if ((code == kError || code == kInternal || code == kFormat) && !readOnly_ && newerVersion_ == 0) {
        // Nothing outside the file explains it. A damaged header fails every
        // statement alike: met twice, the file is set aside. (A constraint
        // or a busy file says nothing about damage.)
        const QString failure = error.nativeErrorCode() + QLatin1Char(' ') + error.databaseText();
        if (failure == unexplained_) {
            setProblem(HistoryProblem::SetAside, u8("壊れていた"));
            return setAside();
        }
        unexplained_ = failure;
        firstUnexplained_ = true;
    }
    setProblem(HistoryProblem::NotSavedYet, reason);
}

void HistoryDatabase::setAside()
{
    close();
    unexplained_.clear();
    const QFileInfo file(path_);
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmmss"));
    const QString base = file.absolutePath() + QLatin1Char('/') + file.completeBaseName() +
                         QStringLiteral(".broken-") + stamp;
    QString aside = base + QStringLiteral(".sqlite");
    for (int n = 2; QFileInfo::exists(aside); ++n)
        aside = base + QStringLiteral("-%1.sqlite").arg(n);
    if (!QFile::rename(path_, aside)) {
        problem_ = HistoryProblem::CannotOpen;
        reason_ = u8("壊れていますが、名前を変えて残すことができません");
        return;
    }
    // A journal or log left beside it belongs to it.
    for (const char* suffix : {"-journal", "-wal"})
        QFile::rename(path_ + QLatin1String(suffix), aside + QLatin1String(suffix));
    QFile::remove(path_ + QStringLiteral("-shm"));
    setAside_ = aside;
}

bool HistoryDatabase::open()
{
    if (open_ && !checked_)
        close();  // read so far unchecked: opened again, checked this time
    return openChecked(true);
}

bool HistoryDatabase::openToRead()
{
    return openChecked(false);
}

bool HistoryDatabase::openChecked(bool check)
{
    // Only a bad file now out of the way is worth a second try.
    return open_ || openOnce(check) ||
           (problem_ == HistoryProblem::SetAside && !setAside_.isEmpty() && openOnce(check));
}

bool HistoryDatabase::openOnce(bool check)
{
    // SQLite would wait on a pipe, write through a link to a device, or
    // answer in its own words: such names are refused first.
    const QFileInfo file(path_);
    QString refused;
    if (file.isSymLink() && !file.exists())
        refused = u8("リンクの先が見つからないか、リンクがループしています");
    else if (file.isDir())
        refused = japaneseReason(EISDIR);
    else if (file.exists() && !file.isFile())
        refused = notRegularFileReason();
    else if (readOnly_ && !file.exists())
        refused = japaneseReason(ENOENT);
    else if (readOnly_ && file.size() == 0)
        refused = u8("空のファイル（0 バイト）で、プレイ記録がありません");
    if (!refused.isEmpty()) {
        setProblem(HistoryProblem::CannotOpen, refused);
        return false;
    }
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName_);
        db.setDatabaseName(path_);
        QString options = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs_);
        if (readOnly_)
            options += QStringLiteral(";QSQLITE_OPEN_READONLY");
        db.setConnectOptions(options);
        if (!db.open())
            error_ = db.lastError();
    }
    const Opened checked = connection().isOpen() ? checkFile(check) : Opened::Failed;
    open_ = checked == Opened::Ready;
    if (open_) {
        QSqlQuery(connection()).exec(QStringLiteral("PRAGMA cache_size = -%1").arg(kPageCacheKiB));
        return true;
    }
    const int newer = newerVersion_;
    close();
    newerVersion_ = newer;  // a failure while reading a newer file never sets it aside
    if (checked == Opened::SetAside)
        setAside();
    else if (problem_ == HistoryProblem::None)
        noteFailure(error_);
    newerVersion_ = 0;
    return false;
}

HistoryDatabase::Opened HistoryDatabase::damaged()
{
    if (readOnly_) {
        setProblem(HistoryProblem::CannotOpen, u8("壊れています"));
        return Opened::Failed;
    }
    setProblem(HistoryProblem::SetAside, u8("壊れていた"));
    return Opened::SetAside;
}

bool HistoryDatabase::readHeader(int& version, int& tables)
{
    // One statement, so one look at the file: another copy creating it
    // between two looks made a new history seem to be someone else's.
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT (SELECT user_version FROM pragma_user_version),"
                               " (SELECT count(*) FROM sqlite_master)")) ||
        !q.next()) {
        error_ = q.lastError();
        return false;
    }
    version = q.value(0).toInt();
    tables = q.value(1).toInt();
    return true;
}

HistoryDatabase::Opened HistoryDatabase::checkFile(bool check)
{
    QSqlQuery q(connection());
    auto value = [&](const char* sql) {
        if (!q.exec(QLatin1String(sql)) || !q.next()) {
            error_ = q.lastError();
            return QVariant();
        }
        return q.value(0);
    };
    int version = 0;
    int tables = 0;
    if (!readHeader(version, tables))
        return Opened::Failed;
    bool fresh = version == 0 && tables == 0;
    if (fresh && !readOnly_) {
        const Created created = createIfFresh(version, tables);
        if (created == Created::Failed)
            return Opened::Failed;
        fresh = created == Created::Made;
    }
    if (!fresh) {
        // A format number no game will reach soon is a damaged header.
        if (version < 0 || version > kHistorySchemaVersion + kHistoryVersionsAhead)
            return damaged();
        // Our tables with the columns we read, whatever else a newer game
        // added; anything else is some other program's database, kept as is.
        bool ours = version >= kOldestHistoryVersion;
        for (const char* sql : kShape) {
            if (ours && !q.exec(QLatin1String(sql))) {
                if (sqliteCode(q.lastError()) != kError) {
                    error_ = q.lastError();
                    return Opened::Failed;
                }
                ours = false;
            }
        }
        if (!ours && readOnly_) {
            setProblem(HistoryProblem::CannotOpen, u8("クェネルのプレイ記録ではありません"));
            return Opened::Failed;
        }
        if (!ours) {
            setProblem(HistoryProblem::SetAside, u8("クェネルのプレイ記録ではなかった"));
            return Opened::SetAside;
        }
    }
    // Reading alone meets damage in the pages it reads; every page is checked
    // before the first write (a game's start), so プレイ記録 opens quickly.
    checked_ = fresh || check;
    // Damage in the middle of the file shows here, not halfway through a save.
    if (checked_ && !fresh && !historyCheckedAhead(path_)) {
        const QVariant result = value("PRAGMA quick_check");
        if (!result.isValid())
            return Opened::Failed;
        if (result.toString() != QLatin1String("ok"))
            return damaged();
    }
    if (version > kHistorySchemaVersion) {
        // Left exactly as it is: read what can be read, write nothing.
        newerVersion_ = version;
        setProblem(HistoryProblem::NewerFile, QString::number(version));
        return Opened::Ready;
    }
    if (!checked_ || readOnly_)
        return Opened::Ready;
    // Only now is the file known to be ours to change. A rollback journal
    // leaves every committed save in the one file.
    const QVariant journal = value("PRAGMA journal_mode = DELETE");
    if (!journal.isValid())
        return Opened::Failed;
    if (journal.toString() != QLatin1String("delete")) {
        // Another copy of an older game still holds its log open.
        setProblem(HistoryProblem::NotSavedYet, u8("別のクェネルなど、ほかのプログラムが使っています"));
        return Opened::Failed;
    }
    q.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
    if (!fresh && !upgrade(version))
        return Opened::Failed;
    return Opened::Ready;
}

bool HistoryDatabase::upgrade(int version)
{
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'stage_keys'")) || !q.next()) {
        error_ = q.lastError();
        return false;
    }
    if (version == kHistorySchemaVersion && q.value(0).toInt() == 1)
        return true;
    // Missing (an older file, or the table lost): counted again from keys.
    const bool ok = q.exec(QStringLiteral("BEGIN IMMEDIATE")) &&
                    q.exec(QStringLiteral("DROP TABLE IF EXISTS stage_keys")) &&
                    q.exec(QLatin1String(kStageKeysTable)) &&
                    q.exec(QStringLiteral("INSERT INTO stage_keys (stage_id, keys, hits) SELECT stage_id, count(*),"
                                          " sum(hit) FROM keys WHERE stage_id IN (SELECT id FROM stages)"
                                          " GROUP BY stage_id")) &&
                    q.exec(QStringLiteral("INSERT INTO stage_keys (stage_id, keys, hits) SELECT id, 0, 0 FROM stages"
                                          " WHERE id NOT IN (SELECT stage_id FROM stage_keys)")) &&
                    q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kHistorySchemaVersion)) &&
                    q.exec(QStringLiteral("COMMIT"));
    if (ok)
        return true;
    error_ = q.lastError();
    QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
    return false;
}

HistoryDatabase::Created HistoryDatabase::createIfFresh(int& version, int& tables)
{
    // The look is taken again inside the transaction: a copy creating the
    // file meanwhile is waited for, and its tables are then found.
    QSqlQuery q(connection());
    if (!q.exec(QStringLiteral("BEGIN IMMEDIATE"))) {
        error_ = q.lastError();
        return Created::Failed;
    }
    Created created = Created::Failed;
    if (readHeader(version, tables)) {
        if (version != 0 || tables != 0) {
            created = Created::Found;
        } else {
            bool ok = true;
            for (const char* statement : kSchema)
                ok = ok && q.exec(QLatin1String(statement));
            ok = ok && q.exec(QStringLiteral("PRAGMA user_version = %1").arg(kHistorySchemaVersion)) &&
                 q.exec(QStringLiteral("COMMIT"));
            if (ok)
                return Created::Made;
            error_ = q.lastError();
        }
    }
    QSqlQuery(connection()).exec(QStringLiteral("ROLLBACK"));
    return created;
}

bool HistoryDatabase::saveGame(GameRecord& game, size_t& savedStages)
{
    clearProblem();
    for (int attempt = 0; attempt < 3; ++attempt) {
        firstUnexplained_ = false;
        if (open()) {
            if (newerVersion_ != 0 || readOnly_) {
                setProblem(HistoryProblem::NewerFile, QString::number(newerVersion_));
                return false;
            }
            if (writeGame(game, savedStages)) {
                savedStages = game.stages.size();
                if (problem_ == HistoryProblem::NotSavedYet)
                    clearProblem();  // the failure passed on the second try
                return true;
            }
            noteFailure(error_);
        }
        if (problem_ == HistoryProblem::SetAside && !open_) {
            // The stages saved so far went with the damaged file.
            game.id = 0;
            savedStages = 0;
            continue;
        }
        if (!firstUnexplained_)
            return false;
        // Tried again at once, opened anew: the same failure again means
        // a damaged file, which is then set aside.
        close();
        if (problem_ == HistoryProblem::NotSavedYet) {
            problem_ = HistoryProblem::None;  // so the second failure is weighed too
            reason_.clear();
        }
    }
    return false;
}

bool HistoryDatabase::writeGame(GameRecord& game, size_t firstStage)
{
    QSqlDatabase db = connection();
    QSqlQuery q(db);
    QSqlQuery stageInsert(db);
    QSqlQuery keyInsert(db);
    auto run = [&](QSqlQuery& query, std::initializer_list<QVariant> values) {
        for (const QVariant& v : values)
            query.addBindValue(v);
        if (query.exec())
            return true;
        error_ = query.lastError();
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        return false;
    };
    q.prepare(QStringLiteral("BEGIN IMMEDIATE"));
    if (!run(q, {}))
        return false;
    const QVariant rank = game.rank ? QVariant(rankName(*game.rank)) : QVariant(QMetaType(QMetaType::QString));
    qint64 id = game.id;
    if (id != 0) {
        q.prepare(QStringLiteral("UPDATE games SET total = ?, outcome = ?, last_stage = ?, rank = ? WHERE id = ?"));
        if (!run(q, {game.total, outcomeName(game.outcome), game.lastStage, rank, id}))
            return false;
        if (q.numRowsAffected() == 0)
            id = 0;  // the row was removed meanwhile: write the game anew
    }
    if (id == 0) {
        q.prepare(QStringLiteral("INSERT INTO games (started_at, mode, total, outcome, last_stage, rank)"
                                 " VALUES (?, ?, ?, ?, ?, ?)"));
        if (!run(q, {game.startedAt.toString(Qt::ISODate), modeName(game.mode), game.total,
                     outcomeName(game.outcome), game.lastStage, rank}))
            return false;
        id = q.lastInsertId().toLongLong();
        firstStage = 0;
    }
    stageInsert.prepare(QStringLiteral("INSERT INTO stages (game_id, stage, score, quota, verdict, play_ms)"
                                       " VALUES (?, ?, ?, ?, ?, ?)"));
    keyInsert.prepare(QStringLiteral("INSERT INTO keys (stage_id, ms, digit, target, hit) VALUES (?, ?, ?, ?, ?)"));
    QSqlQuery countInsert(db);
    countInsert.prepare(QStringLiteral("INSERT INTO stage_keys (stage_id, keys, hits) VALUES (?, ?, ?)"));
    for (size_t i = firstStage; i < game.stages.size(); ++i) {
        const StageRecord& s = game.stages[i];
        if (!run(stageInsert, {id, s.stage, s.score, s.quota, verdictName(s.verdict), s.playMs}))
            return false;
        const qint64 stageId = stageInsert.lastInsertId().toLongLong();
        int hits = 0;
        for (const KeyStroke& k : s.keys) {
            hits += k.hit ? 1 : 0;
            if (!run(keyInsert, {stageId, k.ms, int(k.digit), int(k.target), int(k.hit)}))
                return false;
        }
        if (!run(countInsert, {stageId, static_cast<int>(s.keys.size()), hits}))
            return false;
    }
    q.prepare(QStringLiteral("COMMIT"));
    if (!run(q, {}))
        return false;
    game.id = id;
    return true;
}
