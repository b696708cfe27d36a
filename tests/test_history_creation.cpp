// Two copies of the game starting their first game in a folder with no
// history: whichever creates the file, the other finds a healthy history,
// never sets it aside, and both games are kept. The second copy is run
// inside the first one's lock calls, at each one in turn, or one copy's
// lock calls are slowed, or the other copy is caught halfway through its
// creation, through a thin layer over SQLite's own file layer.
#include "history/history_database.h"
#include "history/recorder.h"
#include "support/history_folder.h"

#include <QDir>
#include <QThread>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <map>
#include <semaphore>
#include <sqlite3.h>
#include <thread>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The file layer of every connection, the first copy's shared locks counted.
struct Interleaving {
    sqlite3_vfs* real = nullptr;
    sqlite3_vfs layer {};
    std::map<const sqlite3_io_methods*, sqlite3_io_methods> wrapped;  // ours by SQLite's
    std::map<const sqlite3_io_methods*, const sqlite3_io_methods*> original;  // SQLite's by ours
    std::function<void()> otherCopy;
    int runAt = 0;      // the lock call before which the other copy runs
    int lockCalls = 0;
    bool inOther = false;
    int slowMs = 0;     // every lock call of this process waits this long first
    std::function<void()> beforeWrite;  // at the test thread's first write lock
    std::thread::id testThread = std::this_thread::get_id();
};

Interleaving& interleaving()
{
    static Interleaving i;
    return i;
}

int lockCall(sqlite3_file* file, int level)
{
    Interleaving& i = interleaving();
    // Only before a shared lock is taken from none: the first copy holds
    // nothing then, and the other may take the file whole.
    if (level == SQLITE_LOCK_SHARED && !i.inOther && i.otherCopy && ++i.lockCalls == i.runAt) {
        i.inOther = true;
        i.otherCopy();
        i.inOther = false;
    }
    if (level == SQLITE_LOCK_RESERVED && i.beforeWrite && std::this_thread::get_id() == i.testThread)
        std::exchange(i.beforeWrite, nullptr)();
    if (i.slowMs > 0)
        QThread::msleep(static_cast<unsigned long>(i.slowMs));
    return i.original.at(file->pMethods)->xLock(file, level);
}

int openCall(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags)
{
    Interleaving& i = interleaving();
    const int rc = i.real->xOpen(i.real, name, file, flags, outFlags);
    if (rc != SQLITE_OK || !file->pMethods || !(flags & SQLITE_OPEN_MAIN_DB))
        return rc;
    const sqlite3_io_methods* theirs = file->pMethods;
    auto [it, made] = i.wrapped.try_emplace(theirs, *theirs);
    if (made) {
        it->second.xLock = lockCall;
        i.original[&it->second] = theirs;
    }
    file->pMethods = &it->second;
    return rc;
}

void installLayer()
{
    Interleaving& i = interleaving();
    if (i.real)
        return;
    i.real = sqlite3_vfs_find(nullptr);
    i.layer = *i.real;
    i.layer.zName = "quennel-interleaving";
    i.layer.xOpen = openCall;
    sqlite3_vfs_register(&i.layer, 1);
}

// One stage whose nine keys sweep the keypad from `firstDigit`.
GameRecord sweepGame(GameMode mode, int firstDigit)
{
    return gameOf(QDateTime(QDate(2026, 12, 9), QTime(8, 0), QTimeZone(0)), mode, {sweepStage(1, 9, 29970, firstDigit)});
}

}  // namespace

class HistoryCreationTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { installLayer(); }

    // The other copy creates and writes the file at every lock call of the first one's start: nothing is set aside, both games are kept.
    void secondCopyAtEveryStep()
    {
        int interleaved = 0;
        for (int runAt = 1; runAt <= 50; ++runAt) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("history.sqlite"));
            bool otherSaved = false;
            HistoryProblem otherProblem = HistoryProblem::None;
            Interleaving& i = interleaving();
            i.lockCalls = 0;
            i.runAt = runAt;
            i.otherCopy = [&] {
                HistoryDatabase other(path);
                GameRecord game = sweepGame(GameMode::Hard, 5);
                size_t saved = 0;
                otherSaved = other.saveGame(game, saved);
                otherProblem = other.problem();
            };
            bool saved = false;
            HistoryProblem problem = HistoryProblem::None;
            {
                HistoryDatabase first(path);
                first.setBusyTimeout(2000);
                GameRecord game = sweepGame(GameMode::Normal, 1);
                size_t stages = 0;
                saved = first.saveGame(game, stages);
                problem = first.problem();
            }
            const bool ran = i.lockCalls >= runAt;
            i.otherCopy = nullptr;
            interleaved += ran ? 1 : 0;
            const QString at = QStringLiteral("other copy at lock call %1").arg(runAt);
            QVERIFY2(saved && problem == HistoryProblem::None, qPrintable(at));
            QVERIFY2(!ran || (otherSaved && otherProblem == HistoryProblem::None), qPrintable(at));
            QVERIFY2(QDir(dir.path()).entryList({QStringLiteral("*.broken-*")}).isEmpty(), qPrintable(at));
            QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM games")).toInt(), ran ? 2 : 1);
            QCOMPARE(scalar(path, QStringLiteral("SELECT count(DISTINCT digit) FROM keys")).toInt(), 9);
        }
        qInfo("the other copy ran inside the first one's save at %d of 50 lock calls", interleaved);
        QVERIFY(interleaved >= 3);  // the start takes several lock calls
    }

    // Another copy has created the tables but not yet committed when this one finds the file empty: this one waits for it and opens its history at the first try.
    void otherCopyHalfwayThroughCreating()
    {
        QTemporaryDir dir;
        const QString made = dir.filePath(QStringLiteral("made.sqlite"));
        QVERIFY(HistoryDatabase(made).open());
        QStringList creation = rows(made, QStringLiteral("SELECT sql FROM sqlite_master WHERE sql NOT NULL"));
        creation << QStringLiteral("PRAGMA user_version = %1").arg(scalar(made, QStringLiteral("PRAGMA user_version")).toInt());
        const QString path = dir.filePath(QStringLiteral("history.sqlite"));
        std::binary_semaphore created{0}, commit{0};
        bool committed = false;
        std::thread other([&] {
            sqlite3* db = nullptr;
            sqlite3_open(path.toUtf8().constData(), &db);
            sqlite3_busy_timeout(db, 10000);
            bool ok = sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) == SQLITE_OK;
            for (const QString& sql : creation)
                ok = ok && sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
            created.release();
            commit.acquire();
            committed = ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
            sqlite3_close(db);
        });
        created.acquire();
        // Let go when this copy first asks to write: it must then wait for
        // the other, not write on what it read before.
        interleaving().beforeWrite = [&] { commit.release(); };
        HistoryDatabase first(path);
        first.setBusyTimeout(10000);
        const bool opened = first.open();
        interleaving().beforeWrite = nullptr;
        commit.release();  // if this copy never asked to write
        other.join();
        QVERIFY2(opened, qPrintable(first.reason()));
        QVERIFY(committed);
        GameRecord game = sweepGame(GameMode::Normal, 3);
        size_t stages = 0;
        QVERIFY(first.saveGame(game, stages));
        QCOMPARE(scalar(path, QStringLiteral("SELECT count(DISTINCT digit) FROM keys")).toInt(), 9);
    }

    // Two processes start at once, one of them with every lock call slowed by 30 ms, fifty times: each keeps its game, nothing is set aside.
    void twoProcessesOneSlowed()
    {
        for (int run = 0; run < 50; ++run) {
            QTemporaryDir dir;
            const QString path = dir.filePath(QStringLiteral("history.sqlite"));
            pid_t copies[2] = {0, 0};
            for (int copy = 0; copy < 2; ++copy) {
                copies[copy] = ::fork();
                if (copies[copy] == 0) {
                    // The slowed copy starts first; the other a little later
                    // each run, so that its start falls anywhere in the
                    // slowed one's.
                    const bool slowed = copy == run % 2;
                    interleaving().slowMs = slowed ? 30 : 0;
                    if (!slowed)
                        QThread::msleep(static_cast<unsigned long>(run % 10) * 8);
                    HistoryDatabase db(path);
                    db.setBusyTimeout(2000);
                    GameRecord game = sweepGame(copy == 0 ? GameMode::Normal : GameMode::Hard, 1 + 4 * copy);
                    size_t saved = 0;
                    const bool kept = db.saveGame(game, saved) && db.problem() == HistoryProblem::None;
                    ::_exit(kept ? 0 : 1);
                }
            }
            for (pid_t copy : copies) {
                int status = -1;
                QCOMPARE(::waitpid(copy, &status, 0), copy);
                QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, qPrintable(QString::number(run)));
            }
            QVERIFY(QDir(dir.path()).entryList({QStringLiteral("*.broken-*")}).isEmpty());
            QCOMPARE(scalar(path, QStringLiteral("SELECT count(*) FROM games")).toInt(), 2);
        }
    }
};

QTEST_GUILESS_MAIN(HistoryCreationTest)
#include "test_history_creation.moc"
