// The play history file: creation, damaged, foreign, odd, locked, full and
// newer files, the one file holding everything, the figures worked out from
// the keys, the recorder's game outcomes and the CSV export.
#include "app/history_export.h"
#include "history/history_check_ahead.h"
#include "history/history_database.h"
#include "history/history_reader.h"
#include "history/recorder.h"
#include "screens/history_notices.h"

#include "support/history_folder.h"
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

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

// The recorder's waiting notices in the player's words.
QStringList noticesOf(GameRecorder& rec)
{
    QStringList notices;
    for (const HistoryReport& report : rec.takeNotices())
        notices << historyNotice(report);
    return notices;
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Nothing but the player's words: with the names in 「」 taken out, no
// Latin letter is left (no SQLite or Qt text).
bool onlyJapanese(const QString& notice)
{
    QString rest = notice;
    rest.remove(QRegularExpression(QStringLiteral("「[^」]*」")));
    return !rest.isEmpty() && !rest.contains(QRegularExpression(QStringLiteral("[A-Za-z]")));
}

}  // namespace

class HistoryTest : public QObject {
    Q_OBJECT

private:
    HistoryFolder folder_;
    QString path() const { return folder_.path(); }

    // Twenty games written, then three pages in the middle of the file
    // overwritten with noise (after `between`, if given); before gets the
    // file's bytes.
    bool damageInside(QByteArray& before, const std::function<void()>& between = {})
    {
        {
            HistoryDatabase db(path());
            for (int i = 0; i < 20; ++i) {
                GameRecord g = gameOf(5);
                for (StageRecord& stage : g.stages)
                    stage = stageOf(stage.stage, 300, 50);
                size_t saved = 0;
                if (!db.saveGame(g, saved))
                    return false;
            }
        }
        if (between)
            between();
        const int pageSize = scalar(path(), QStringLiteral("PRAGMA page_size")).toInt();
        const int pages = scalar(path(), QStringLiteral("PRAGMA page_count")).toInt();
        if (pages <= 20)
            return false;
        QFile file(path());
        if (!file.open(QIODevice::ReadWrite))
            return false;
        QRandomGenerator random(21);
        for (int page = pages / 2; page < pages / 2 + 3; ++page) {
            QByteArray noise(pageSize, '\0');
            for (char& c : noise)
                c = static_cast<char>(random.bounded(256));
            file.seek(qint64(page) * pageSize);
            file.write(noise);
        }
        file.close();
        before = fileBytes(path());
        return true;
    }

private slots:
    void init() { folder_.enter(); }
    void cleanup() { folder_.leave(); }

    // A missing file and an empty (zero-byte) file both become the current schema, with a rollback journal.
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
                QCOMPARE(db.problem(), HistoryProblem::None);
            }
            QCOMPARE(scalar(path(), QStringLiteral("PRAGMA user_version")).toInt(), kHistorySchemaVersion);
            QCOMPARE(scalar(path(), QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("delete"));
            QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table'"
                                                   " AND name IN ('games', 'stages', 'keys')")).toInt(), 3);
        }
    }

    // A file from a newer version is read but never written: its bytes stay as they were.
    void leavesNewerSchemaAlone()
    {
        {
            HistoryDatabase db(path());
            GameRecord g = gameOf(1);
            size_t saved = 0;
            QVERIFY(db.saveGame(g, saved));
        }
        QVERIFY(!scalar(path(), QStringLiteral("PRAGMA user_version = 7")).isValid());
        const QByteArray before = fileBytes(path());
        HistoryDatabase db(path());
        QVERIFY(db.open());
        QVERIFY(!db.canWrite());
        QCOMPARE(db.problem(), HistoryProblem::NewerFile);
        GameRecord g = gameOf(1);
        size_t saved = 0;
        QVERIFY(!db.saveGame(g, saved));
        QCOMPARE(db.problem(), HistoryProblem::NewerFile);
        QCOMPARE(fileBytes(path()), before);
        QVERIFY(historyNotice(db).contains(QStringLiteral("7")));
    }

    // A damaged file, or another program's database under our name (whatever its user_version), is renamed with the date, untouched, and a new one started.
    void keepsDamagedFileAside()
    {
        const QByteArray garbage = QByteArray("this is no database at all ").repeated(200);
        const QStringList foreign = {QStringLiteral("CREATE TABLE addresses (name TEXT)"),
                                     QStringLiteral("CREATE TABLE games (id INTEGER PRIMARY KEY, title TEXT)")};
        for (int variant = 0; variant < 4; ++variant) {
            QDir folder(folder_.folder());
            for (const QString& f : folder.entryList(QDir::Files))
                folder.remove(f);
            if (variant == 0) {
                QFile f(path());
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(garbage);
            } else {
                // Another program's file, kept in WAL mode, marked 0, 1 or 2.
                scalar(path(), QStringLiteral("PRAGMA journal_mode = WAL"));
                scalar(path(), foreign[variant % 2]);
                scalar(path(), QStringLiteral("PRAGMA user_version = %1").arg(variant - 1));
                QCOMPARE(scalar(path(), QStringLiteral("PRAGMA user_version")).toInt(), variant - 1);
            }
            const QByteArray before = fileBytes(path());
            HistoryDatabase db(path());
            GameRecord g = gameOf(2);
            size_t saved = 0;
            QVERIFY2(db.saveGame(g, saved), qPrintable(QString::number(variant) + historyNotice(db)));
            QCOMPARE(db.problem(), HistoryProblem::SetAside);
            QCOMPARE(saved, size_t(2));
            const QString aside = db.setAsidePath();
            QVERIFY2(QRegularExpression(QStringLiteral("/history\\.broken-\\d{4}-\\d\\d-\\d\\d-\\d{6}\\.sqlite$"))
                         .match(aside).hasMatch(), qPrintable(aside));
            QCOMPARE(fileBytes(aside), before);
            QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM stages")).toInt(), 2);
            const QString notice = historyNotice(db);
            QVERIFY(notice.contains(QFileInfo(aside).fileName()));
            QVERIFY2(onlyJapanese(notice), qPrintable(notice));
        }
    }

    // Pages overwritten in the middle of the file are found when it is opened, and the file is set aside.
    void damageInsideFoundAtOpen()
    {
        QByteArray before;
        QVERIFY(damageInside(before));
        HistoryDatabase db(path());
        QVERIFY(db.open());
        QCOMPARE(db.problem(), HistoryProblem::SetAside);
        QCOMPARE(fileBytes(db.setAsidePath()), before);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM games")).toInt(), 0);
    }

    // The check begun beside the title answers for the file as it found it: a file damaged after it was found whole, and one found damaged, are both set aside.
    void checkAheadAnswersForTheFileItFound()
    {
        QByteArray before;
        QVERIFY(damageInside(before, [this] {
            checkHistoryAhead(path());
            endHistoryCheckAhead();
        }));
        QString aside;
        for (int round = 0; round < 2; ++round) {
            if (round == 1) {
                QVERIFY(QFile::remove(path()) && QFile::copy(aside, path()));
                checkHistoryAhead(path());
            }
            HistoryDatabase db(path());
            QVERIFY(db.open());
            QCOMPARE(db.problem(), HistoryProblem::SetAside);
            aside = db.setAsidePath();
            QCOMPARE(fileBytes(aside), before);
        }
    }

    // プレイ記録 reads without the whole-file check; the game's start then checks before writing, and sets a damaged file aside untouched.
    void readingLeavesTheCheckToTheGameStart()
    {
        QByteArray before;
        QVERIFY(damageInside(before));
        GameRecorder& rec = gameHistory();
        HistoryDatabase& db = rec.database();
        QVERIFY(db.openToRead());
        QCOMPARE(db.problem(), HistoryProblem::None);
        QCOMPARE(fileBytes(path()), before);
        rec.gameStarted(GameMode::Normal);
        const QStringList notices = noticesOf(rec);
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices[0].contains(QStringLiteral(".broken-")));
        QCOMPARE(fileBytes(db.setAsidePath()), before);
        rec.clockStarted();
        rec.keyJudged(7, 7, true);
        rec.stageEnded(1, 10, 100, 0, StageVerdict::Failure);
        rec.reset();
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM keys")).toInt(), 1);
    }

    // A folder, a symlink loop, a link to /dev/null and a pipe under the file's name: left as they are, the stage kept in memory, the player told in Japanese.
    void oddFilesToldInJapanese()
    {
        const QByteArray name = QFile::encodeName(path());
        for (int variant = 0; variant < 4; ++variant) {
            QFile::remove(path());
            QDir().rmdir(path());
            switch (variant) {
            case 0: QVERIFY(QDir().mkdir(path())); break;
            case 1: QVERIFY(::symlink(name.constData(), name.constData()) == 0); break;
            case 2: QVERIFY(QFile::link(QStringLiteral("/dev/null"), path())); break;
            case 3: QVERIFY(::mkfifo(name.constData(), 0600) == 0); break;
            }
            gameHistory().reset();
            GameRecorder& rec = gameHistory();
            rec.gameStarted(GameMode::Normal);
            rec.clockStarted();
            rec.keyJudged(4, 4, true);
            rec.stageEnded(1, 10, 100, 0, StageVerdict::Failure);
            const QStringList notices = noticesOf(rec);
            QCOMPARE(notices.size(), 1);
            QVERIFY(notices[0].contains(QStringLiteral("「history.sqlite」")));
            QVERIFY2(onlyJapanese(notices[0]), qPrintable(notices[0]));
            QCOMPARE(rec.finish(), 1);   // still held: the stage is not lost silently
            const QFileInfo after(path());
            QCOMPARE(after.isDir(), variant == 0);
            QCOMPARE(after.isSymLink(), variant == 1 || variant == 2);
            QCOMPARE(QDir(folder_.folder()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size(), 1);
        }
        QFile::remove(path());
        QString message;
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        QVERIFY(!exportHistoryCsv(path(), out, message));
        QVERIFY2(onlyJapanese(message), qPrintable(message));
        QFile::remove(path());
    }

    // After each stage's save and after the last one at exit, the one file holds every stage: a copy of it alone is whole.
    void oneFileHoldsEverything()
    {
        GameRecorder& rec = gameHistory();
        const QString copy = folder_.path(QStringLiteral("copy.sqlite"));
        rec.gameStarted(GameMode::Hard);
        for (int stage = 1; stage <= 3; ++stage) {
            rec.clockStarted();
            rec.keyJudged(stage + 1, stage + 1, true);
            rec.stageEnded(stage, 200, 100, 200 * (stage - 1), StageVerdict::Clear);
            QFile::remove(copy);
            QVERIFY(QFile::copy(path(), copy));
            QCOMPARE(scalar(copy, QStringLiteral("SELECT count(*) FROM stages")).toInt(), stage);
        }
        QCOMPARE(rec.finish(), 0);
        const QStringList beside = QDir(folder_.folder()).entryList({QStringLiteral("history.sqlite*")}, QDir::Files);
        QCOMPARE(beside, QStringList{QStringLiteral("history.sqlite")});
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
        QStringList notices = noticesOf(rec);
        QCOMPARE(notices.size(), 1);
        QVERIFY(notices[0].contains(QStringLiteral("history.sqlite")));
        QVERIFY(notices[0].contains(QString::fromUtf8("使っています")));

        // Still held: the second stage waits too, and nothing more is said.
        rec.clockStarted();
        rec.keyJudged(2, 2, true);
        rec.stageEnded(2, 230, 200, 120, StageVerdict::Clear);
        QVERIFY(rec.takeNotices().empty());

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
        QVERIFY(rec.takeNotices().empty());
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
        QVERIFY(db.saveGame(g, saved));
        const int pages = scalar(path(), QStringLiteral("PRAGMA page_count")).toInt();
        {
            QSqlQuery q(db.connection());
            QVERIFY(q.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages)));
        }
        for (int s = 2; s <= 5; ++s)
            g.stages.push_back(stageOf(s, 400, 50));
        QVERIFY(!db.saveGame(g, saved));
        QCOMPARE(db.problem(), HistoryProblem::NotSavedYet);
        QCOMPARE(db.reason(), QString::fromUtf8("ディスクの空き容量が足りません"));
        QCOMPARE(saved, size_t(1));
        {
            QSqlQuery q(db.connection());
            QVERIFY(q.exec(QStringLiteral("PRAGMA max_page_count = 1000000")));
        }
        QVERIFY(db.saveGame(g, saved));
        QCOMPARE(saved, size_t(5));
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM stages")).toInt(), 5);
    }

    // The figures of a stage: hits, misses, streak, keys per second, median and 90th percentile gap, hits per second.
    void stageFiguresFromKeys()
    {
        StageRecord stage;
        stage.keys = {key(100, 1, 1), key(300, 2, 2), key(450, 9, 3), key(1100, 3, 3),
                      key(1200, 4, 4), key(1500, 5, 5), key(29960, 6, 6), key(40000, 7, 7)};
        stage.playMs = 20000;
        const StageFigures f = stageFigures(stage);
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
        stage.keys = {key(10, 1, 1)};
        stage.playMs = 0;
        QVERIFY(!stageFigures(stage).medianGapMs.has_value());
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
        QVERIFY(rec.takeNotices().empty());
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
            QVERIFY(db.saveGame(g, saved));
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

        // The keys of the latest games of one mode, oldest first, as struck.
        const auto hard = latestGames(db, GameMode::Hard, 3);
        QVERIFY(hard);
        QCOMPARE(hard->size(), size_t(3));
        QCOMPARE(hard->front().total, 67);
        QCOMPARE(hard->back().stages[0].keys.size(), size_t(11));
        QCOMPARE(hard->back().stages[0].keys[3].digit, 2);   // the miss after the third hit
        QVERIFY(!hard->back().stages[0].keys[3].hit);
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
            QVERIFY(db.saveGame(g, saved));
        }
        const QString target = folder_.path(QStringLiteral("out.csv"));
        QCOMPARE(runHistoryExport(path(), target), 0);
        const QStringList lines = QString::fromUtf8(fileBytes(target)).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QCOMPARE(lines[0], historyCsvColumns().join(QLatin1Char(',')));
        QCOMPARE(historyCsvColumns().size(), 19 + 30);
        const QString expectedSeconds = QStringLiteral(",3,5,2") + QStringLiteral(",0").repeated(27);
        QCOMPARE(lines[1], QStringLiteral("1,2026-12-07T10:30:00+09:00,hard,2460,lost,2,,200,1,1230,1000,clear,"
                                          "10,1,7,0.37,29970,200,200") + expectedSeconds);
        QVERIFY(lines[2].startsWith(QStringLiteral("1,2026-12-07T10:30:00+09:00,hard,2460,lost,2,,200,2,1230,1000,failure,")));

        // A damaged file is not exported; the target and the file are left untouched (an export only reads).
        QFile damaged(path());
        QVERIFY(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(4096, 'x'));
        damaged.close();
        const QByteArray before = fileBytes(target);
        QCOMPARE(runHistoryExport(path(), target), 1);
        QCOMPARE(fileBytes(target), before);
        QCOMPARE(fileBytes(path()), QByteArray(4096, 'x'));
        QCOMPARE(QDir(folder_.folder()).entryList({QStringLiteral("history.broken-*.sqlite")}).size(), 0);
    }
};

QTEST_GUILESS_MAIN(HistoryTest)
#include "test_history.moc"
