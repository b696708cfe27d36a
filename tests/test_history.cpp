// The play history file: creation and migration, damaged, locked, full and
// newer files, the figures of a stage, the recorder's game outcomes and the
// CSV export.
#include "history/csv_export.h"
#include "history/history_database.h"
#include "history/progress.h"
#include "history/recorder.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>

namespace {

KeyStroke key(int ms, int digit, int target)
{
    return KeyStroke{ms, static_cast<qint8>(digit), static_cast<qint8>(target), digit == target};
}

// A stage with hits every `gap` ms from 500 on, and a miss after the third.
StageRecord stageOf(int stage, int hits, int gap, int score = 1230)
{
    StageRecord s;
    s.stage = stage;
    s.score = score;
    s.quota = 1000;
    s.playMs = 29970;
    for (int i = 0; i < hits; ++i) {
        s.keys.push_back(key(500 + i * gap, 1, 1));
        if (i == 2)
            s.keys.push_back(key(510 + i * gap, 2, 1));
    }
    return s;
}

GameRecord gameOf(int stages)
{
    GameRecord g;
    g.startedAt = QDateTime(QDate(2026, 12, 7), QTime(10, 30), QTimeZone(9 * 3600));
    g.mode = GameMode::Hard;
    for (int s = 1; s <= stages; ++s)
        g.stages.push_back(stageOf(s, 10, 200));
    g.total = 1230 * stages;
    g.lastStage = stages;
    return g;
}

// One query against a file, through its own connection.
QVariant scalar(const QString& path, const QString& sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                value = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return value;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The version 1 layout, as the first version of the game wrote it.
void writeVersion1File(const QString& path)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("v1"));
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        const char* const statements[] = {
            "CREATE TABLE games (id INTEGER PRIMARY KEY, started_at TEXT NOT NULL, mode TEXT NOT NULL,"
            " total INTEGER NOT NULL, outcome TEXT NOT NULL, last_stage INTEGER NOT NULL, rank TEXT)",
            "CREATE TABLE stages (id INTEGER PRIMARY KEY, game_id INTEGER NOT NULL REFERENCES games(id)"
            " ON DELETE CASCADE, stage INTEGER NOT NULL, score INTEGER NOT NULL, quota INTEGER NOT NULL,"
            " verdict TEXT NOT NULL, hits INTEGER NOT NULL, misses INTEGER NOT NULL,"
            " longest_streak INTEGER NOT NULL, keys_per_second REAL NOT NULL, play_ms INTEGER NOT NULL,"
            " UNIQUE (game_id, stage))",
            "CREATE TABLE keys (stage_id INTEGER NOT NULL REFERENCES stages(id) ON DELETE CASCADE,"
            " ms INTEGER NOT NULL, digit INTEGER NOT NULL, target INTEGER NOT NULL, hit INTEGER NOT NULL)",
            "CREATE INDEX keys_by_stage ON keys (stage_id)",
            "INSERT INTO games VALUES (1, '2026-11-30T20:00:00+09:00', 'normal', 2450, 'lost', 2, NULL)",
            "INSERT INTO stages VALUES (1, 1, 1, 1230, 1000, 'clear', 4, 0, 4, 0.13, 29970)",
            "INSERT INTO stages VALUES (2, 1, 2, 1220, 2000, 'failure', 2, 1, 1, 0.10, 29970)",
            // stage 1: hits at 100, 400, 600, 1000 (gaps 300, 200, 400); stage 2: hits at 0, 2500
            "INSERT INTO keys VALUES (1, 100, 1, 1, 1), (1, 400, 2, 2, 1), (1, 600, 3, 3, 1), (1, 1000, 1, 1, 1)",
            "INSERT INTO keys VALUES (2, 0, 4, 4, 1), (2, 1200, 5, 6, 0), (2, 2500, 6, 6, 1)",
            "PRAGMA user_version = 1",
        };
        for (const char* s : statements)
            QVERIFY2(q.exec(QString::fromLatin1(s)), qPrintable(q.lastError().text()));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("v1"));
}

}  // namespace

class HistoryTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir dir_;
    QString oldCurrent_;
    QString path() const { return dir_.filePath(QStringLiteral("history.sqlite")); }

private slots:
    void init()
    {
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.path());
        oldCurrent_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
        gameHistory().reset();
    }
    void cleanup()
    {
        gameHistory().reset();
        setHistoryMonotonicClock(nullptr);
        setHistoryWallClock(nullptr);
        QDir::setCurrent(oldCurrent_);
    }

    // A missing file and an empty (zero-byte) file both become the current schema, in WAL mode.
    void createsFromNothingAndFromEmptyFile()
    {
        for (bool zeroBytes : {false, true}) {
            QFile::remove(path());
            if (zeroBytes) {
                QFile f(path());
                QVERIFY(f.open(QIODevice::WriteOnly));
            }
            {
                HistoryDatabase db(path());
                QVERIFY(db.open());
                QVERIFY(db.canWrite());
                QCOMPARE(db.foundVersion(), 0);
                QCOMPARE(db.problem(), HistoryProblem::None);
            }
            QCOMPARE(scalar(path(), QStringLiteral("PRAGMA user_version")).toInt(), kHistorySchemaVersion);
            QCOMPARE(scalar(path(), QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
            QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'"
                                                   " AND name IN ('games', 'stages', 'keys')")).toInt(), 3);
        }
    }

    // A version 1 file keeps its games and gains the timing figures, computed from its keys.
    void migratesVersion1()
    {
        writeVersion1File(path());
        {
            HistoryDatabase db(path());
            QVERIFY(db.open());
            QCOMPARE(db.foundVersion(), 1);
            QVERIFY(db.canWrite());
        }
        QCOMPARE(scalar(path(), QStringLiteral("PRAGMA user_version")).toInt(), kHistorySchemaVersion);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT total FROM games WHERE id = 1")).toInt(), 2450);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM keys")).toInt(), 7);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT median_gap_ms FROM stages WHERE id = 1")).toInt(), 300);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT p90_gap_ms FROM stages WHERE id = 1")).toInt(), 400);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT median_gap_ms FROM stages WHERE id = 2")).toInt(), 2500);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT hits_per_second FROM stages WHERE id = 1")).toString(),
                 QStringLiteral("3 1") + QStringLiteral(" 0").repeated(28));
        // The game's median runs over the gaps of both stages: 200 300 400 2500.
        QCOMPARE(scalar(path(), QStringLiteral("SELECT median_gap_ms FROM games WHERE id = 1")).toInt(), 350);

        // A migrated file takes new games like a new one.
        HistoryDatabase db(path());
        GameRecord g = gameOf(1);
        size_t saved = 0;
        qint64 id = 0;
        QVERIFY(db.saveGame(g, saved, id));
        QCOMPARE(id, 2);
    }

    // A file from a newer version is read but never written: its bytes stay as they were.
    void leavesNewerSchemaAlone()
    {
        writeVersion1File(path());
        QVERIFY(!scalar(path(), QStringLiteral("PRAGMA user_version = 7")).isValid());
        const QByteArray before = fileBytes(path());
        HistoryDatabase db(path());
        QVERIFY(db.open());
        QVERIFY(!db.canWrite());
        QCOMPARE(db.problem(), HistoryProblem::NewerSchema);
        GameRecord g = gameOf(1);
        size_t saved = 0;
        qint64 id = 0;
        QVERIFY(!db.saveGame(g, saved, id));
        QCOMPARE(db.problem(), HistoryProblem::NewerSchema);
        QCOMPARE(fileBytes(path()), before);
        QVERIFY(historyNoticeText(db.problem(), QStringLiteral("history.sqlite"), db.problemDetail(), QString())
                    .contains(QStringLiteral("7")));
    }

    // A damaged file, or another program's database under our name, is renamed with the date and a new one started.
    void keepsDamagedFileAside()
    {
        const QByteArray garbage = QByteArray("this is no database at all ").repeated(200);
        for (bool foreignDatabase : {false, true}) {
            QDir folder(dir_.path());
            for (const QString& f : folder.entryList(QDir::Files))
                folder.remove(f);
            if (foreignDatabase) {
                QVERIFY(!scalar(path(), QStringLiteral("CREATE TABLE addresses (name TEXT)")).isValid());
            } else {
                QFile f(path());
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(garbage);
            }
            const QByteArray before = fileBytes(path());
            HistoryDatabase db(path());
            GameRecord g = gameOf(2);
            size_t saved = 0;
            qint64 id = 0;
            QVERIFY(db.saveGame(g, saved, id));
            QCOMPARE(db.problem(), HistoryProblem::KeptAside);
            QCOMPARE(saved, size_t(2));
            const QString aside = db.keptAsidePath();
            QVERIFY2(QRegularExpression(QStringLiteral("/history\\.broken-\\d{4}-\\d\\d-\\d\\d-\\d{6}\\.sqlite$"))
                         .match(aside).hasMatch(), qPrintable(aside));
            QCOMPARE(fileBytes(aside), before);
            QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM stages")).toInt(), 2);
            const QString notice = historyNoticeText(db.problem(), QStringLiteral("history.sqlite"),
                                                     db.problemDetail(), QFileInfo(aside).fileName());
            QVERIFY(notice.contains(QFileInfo(aside).fileName()));
        }
    }

    // A file held by another program: the save gives up quickly, tells once, and the stage is written later.
    void lockedFileWaitsAndRetries()
    {
        { HistoryDatabase make(path()); QVERIFY(make.open()); }
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(path());
        QVERIFY(other.open());
        {
            QSqlQuery hold(other);
            QVERIFY(hold.exec(QStringLiteral("BEGIN EXCLUSIVE")));
        }
        GameRecorder& rec = gameHistory();
        rec.gameStarted(GameMode::Normal);
        rec.clockStarted();
        rec.keyJudged(1, 1, true);
        rec.stageEnded(1, 120, 100, 0, StageVerdict::Clear);
        QStringList notices = rec.takeNotices();
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices[0].contains(QStringLiteral("history.sqlite")));
        QVERIFY(notices[0].contains(QString::fromUtf8("使っていて")));

        // Still held: the second stage waits too, and nothing more is said.
        rec.clockStarted();
        rec.keyJudged(2, 2, true);
        rec.stageEnded(2, 230, 200, 120, StageVerdict::Clear);
        QVERIFY(rec.takeNotices().isEmpty());

        {
            QSqlQuery release(other);
            QVERIFY(release.exec(QStringLiteral("ROLLBACK")));
        }
        other.close();
        other = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("other"));

        rec.clockStarted();
        rec.keyJudged(3, 3, true);
        rec.stageEnded(3, 50, 300, 350, StageVerdict::Failure);
        QVERIFY(rec.takeNotices().isEmpty());
        rec.reset();
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM games")).toInt(), 1);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT group_concat(stage) FROM stages")).toString(),
                 QStringLiteral("1,2,3"));
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM keys")).toInt(), 3);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT outcome || ' ' || last_stage || ' ' || total FROM games")).toString(),
                 QStringLiteral("lost 3 4000"));
    }

    // A full disk: the save fails as such, and succeeds once there is room again.
    void fullDiskKeepsStageForLater()
    {
        HistoryDatabase db(path());
        QVERIFY(db.open());
        GameRecord g = gameOf(1);
        size_t saved = 0;
        qint64 id = 0;
        QVERIFY(db.saveGame(g, saved, id));
        const int pages = scalar(path(), QStringLiteral("PRAGMA page_count")).toInt();
        {
            QSqlQuery q(db.connection());
            QVERIFY(q.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages)));
        }
        for (int s = 2; s <= 5; ++s)
            g.stages.push_back(stageOf(s, 400, 50));
        QVERIFY(!db.saveGame(g, saved, id));
        QCOMPARE(db.problem(), HistoryProblem::DiskFull);
        QCOMPARE(saved, size_t(1));
        {
            QSqlQuery q(db.connection());
            QVERIFY(q.exec(QStringLiteral("PRAGMA max_page_count = 1000000")));
        }
        QVERIFY(db.saveGame(g, saved, id));
        QCOMPARE(saved, size_t(5));
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM stages")).toInt(), 5);
    }

    // The figures of a stage: hits, misses, streak, keys per second, median and 90th percentile gap, hits per second.
    void stageFiguresFromKeys()
    {
        std::vector<KeyStroke> keys = {key(100, 1, 1), key(300, 2, 2), key(450, 9, 3), key(1100, 3, 3),
                                       key(1200, 4, 4), key(1500, 5, 5), key(29960, 6, 6), key(40000, 7, 7)};
        const StageFigures f = stageFigures(keys, 20000);
        QCOMPARE(f.hits, 7);
        QCOMPARE(f.misses, 1);
        QCOMPARE(f.longestStreak, 5);
        QCOMPARE(f.keysPerSecond, 0.4);
        // gaps 200 800 100 300 28460 10040: median (300 + 800) / 2, p90 the 6th of 6
        QCOMPARE(f.medianGapMs.value(), 550);
        QCOMPARE(f.p90GapMs.value(), 28460);
        QCOMPARE(f.hitsPerSecond[0], 2);
        QCOMPARE(f.hitsPerSecond[1], 3);   // 999 ms to a second, as the stage clock counts
        QCOMPARE(f.hitsPerSecond[29], 2);  // the last second takes what comes after it
        QVERIFY(!stageFigures({key(10, 1, 1)}, 0).medianGapMs.has_value());
        QCOMPARE(percentile90Of({5, 1, 4, 2, 3, 6, 7, 8, 9, 10}).value(), 9);
        QCOMPARE(medianOf({7, 1, 3}).value(), 3);
    }

    // A game's outcome: lost at stage n, cleared with its rank, quit midway keeping its finished stages.
    void recorderOutcomes()
    {
        qint64 now = 0;
        setHistoryMonotonicClock([&now] { return now; });
        GameRecorder& rec = gameHistory();

        rec.gameStarted(GameMode::Normal);   // quit after two stages
        for (int s = 1; s <= 2; ++s) {
            rec.clockStarted();
            now += 250;
            rec.keyJudged(1, 1, true);
            now += 29720;
            rec.stageEnded(s, 100, 100, (s - 1) * 100, StageVerdict::Clear);
        }
        rec.gameStarted(GameMode::Hard);     // given up in stage 1
        rec.clockStarted();
        now += 5000;
        rec.stageEnded(1, 0, 100, 0, StageVerdict::GiveUp);
        rec.gameStarted(GameMode::Normal);   // all five cleared: 11000 in tens of points is rank D
        for (int s = 1; s <= 5; ++s) {
            rec.clockStarted();
            rec.stageEnded(s, 2200, 100, (s - 1) * 2200, StageVerdict::Clear);
        }
        QVERIFY(rec.takeNotices().isEmpty());
        rec.reset();
        QCOMPARE(scalar(path(), QStringLiteral("SELECT group_concat(outcome || ':' || last_stage || ':' ||"
                                               " coalesce(rank, '-') || ':' || total || ':' || mode, ' ')"
                                               " FROM (SELECT * FROM games ORDER BY id)")).toString(),
                 QStringLiteral("quit:2:-:2000:normal lost:1:-:0:hard cleared:5:D:110000:normal"));
        QCOMPARE(scalar(path(), QStringLiteral("SELECT play_ms || ' ' || verdict || ' ' || score FROM stages"
                                               " WHERE game_id = 2")).toString(),
                 QStringLiteral("5000 giveup 0"));
        QCOMPARE(scalar(path(), QStringLiteral("SELECT ms FROM keys LIMIT 1")).toInt(), 250);
    }

    // The progress figures: totals per mode (latest 50), bests by stage, the last game's seconds.
    void progressFigures()
    {
        HistoryDatabase db(path());
        for (int i = 0; i < 70; ++i) {
            GameRecord g = gameOf(1);
            g.mode = i % 5 == 0 ? GameMode::Normal : GameMode::Hard;
            g.total = i;
            g.stages[0].score = 100 * i;
            size_t saved = 0;
            qint64 id = 0;
            QVERIFY(db.saveGame(g, saved, id));
        }
        const std::optional<ProgressData> data = readProgress(db);
        QVERIFY(data);
        QCOMPARE(data->gameCount, 70);
        QCOMPARE(data->recent[0].size(), size_t(14));
        QCOMPARE(data->recent[1].size(), size_t(kProgressGames));
        QCOMPARE(data->recent[1].front().total, 8);   // the six oldest hard games fall off
        QCOMPARE(data->recent[1].back().total, 69);
        QCOMPARE(data->recent[1].back().accuracy().value(), 10.0 / 11.0);
        QCOMPARE(data->stageBest[0][0].value(), 6500);
        QCOMPARE(data->stageBest[1][0].value(), 6900);
        QVERIFY(!data->stageBest[1][1].has_value());
        QCOMPARE(data->lastGame->total, 69);
        QCOMPARE(data->lastGameStages.size(), size_t(1));
        QCOMPARE(data->lastGameStages[0].hitsPerSecond[0], 3);
    }

    // The CSV export: a header, one row per stage with its game's fields, fields quoted where needed.
    void exportsCsv()
    {
        QBuffer empty;
        empty.open(QIODevice::WriteOnly);
        QString message;
        QVERIFY(exportHistoryCsv(path(), empty, message));   // nothing played yet: the header alone
        QCOMPARE(empty.data().count('\n'), 1);
        QVERIFY(!QFile::exists(path()));

        {
            HistoryDatabase db(path());
            GameRecord g = gameOf(2);
            g.outcome = GameOutcome::Lost;
            g.stages[1].verdict = StageVerdict::Failure;
            size_t saved = 0;
            qint64 id = 0;
            QVERIFY(db.saveGame(g, saved, id));
            QSqlQuery q(db.connection());
            // Nothing the game writes needs quoting; a hand-edited file may.
            QVERIFY(q.exec(QStringLiteral("UPDATE games SET started_at = 'late, \"night\"'")));
        }
        const QString target = dir_.filePath(QStringLiteral("out.csv"));
        QCOMPARE(runHistoryExport(path(), target), 0);
        const QStringList lines = QString::fromUtf8(fileBytes(target)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], historyCsvColumns().join(QLatin1Char(',')));
        QCOMPARE(historyCsvColumns().size(), 19 + 30);
        const QString expectedSeconds = QStringLiteral(",3,5,2") + QStringLiteral(",0").repeated(27);
        QCOMPARE(lines[1], QStringLiteral("1,\"late, \"\"night\"\"\",hard,2460,lost,2,,200,1,1230,1000,clear,"
                                          "10,1,7,0.37,29970,200,200") + expectedSeconds);
        QVERIFY(lines[2].startsWith(QStringLiteral("1,\"late, \"\"night\"\"\",hard,2460,lost,2,,200,2,1230,1000,failure,")));

        // A damaged file is not exported; the target is left untouched and the file kept aside.
        QFile::remove(path() + QStringLiteral("-wal"));
        QFile::remove(path() + QStringLiteral("-shm"));
        QFile damaged(path());
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(4096, 'x'));
        damaged.close();
        const QByteArray before = fileBytes(target);
        QCOMPARE(runHistoryExport(path(), target), 1);
        QCOMPARE(fileBytes(target), before);
        QCOMPARE(QDir(dir_.path()).entryList({QStringLiteral("history.broken-*.sqlite")}).size(), 1);
    }
};

QTEST_GUILESS_MAIN(HistoryTest)
#include "test_history.moc"
