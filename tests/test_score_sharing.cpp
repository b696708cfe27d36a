// Saving the best scores when the folder is shared or restricted: two copies
// of the game saving at once, a lock left behind by a crashed copy or held by
// a stalled one, a read-only folder with a writable score file, and a score
// file that is not a regular file.
#include "platform/msgbox.h"
#include "platform/system.h"
#include "platform/error_words.h"
#include "screens/closing.h"
#include "screens/score_saving.h"
#include "state/datafiles.h"
#include "state/module1.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

#include <signal.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A fresh game folder as the working directory, reachable by any user.
class Folder {
public:
    Folder() : old_(QDir::currentPath())
    {
        QVERIFY(tmp_.isValid());
        ::chmod(QFile::encodeName(tmp_.path()).constData(), 0755);
        QVERIFY(QDir::setCurrent(tmp_.path()));
    }
    ~Folder()
    {
        ::chmod(QFile::encodeName(tmp_.path()).constData(), 0755);
        QDir::setCurrent(old_);
    }

private:
    QString old_;
    QTemporaryDir tmp_;
};

QByteArray readBytes(const QString& name)
{
    QFile f(name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// tavo_s.dat holding table, as the game writes it.
void layDown(const ScoreTable& table)
{
    QFile f(QStringLiteral("tavo_s.dat"));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(formatScores(table)), qint64(formatScores(table).size()));
}

ScoreTable storedTable()
{
    try {
        return parseScores(readBytes(QStringLiteral("tavo_s.dat")));
    } catch (const DataFileError&) {
        return ScoreTable{};
    }
}

ino_t inodeOf(const char* name)
{
    struct stat st {};
    return ::stat(name, &st) == 0 ? st.st_ino : 0;
}

// A child process that is killed if the test ends early (a failed check),
// so no stopped or waiting child outlives the test.
struct KillOnExit {
    pid_t pid = 0;
    ~KillOnExit()
    {
        if (pid > 0) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, nullptr, 0);
        }
    }
};

// Runs body in a child process and returns its exit code (-1: killed).
template <typename Body>
int inChild(Body body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// A copy of the game that read an empty table at its start and then beats
// its own bests, one slot range each, many times over; every save must
// succeed and keep what this copy has reached. Returns its exit code.
int playAndSave(int firstSlot, int rounds)
{
    ScoreTable mine{};
    for (int round = 1; round <= rounds; ++round) {
        for (int slot = firstSlot; slot < firstSlot + 6; ++slot)
            mine[slot] = round;
        const ScoreSave save = saveScores(mine);
        if (!save.failure.isEmpty())
            return 2;
        for (int slot = firstSlot; slot < firstSlot + 6; ++slot)
            if (save.stored[slot] != round)
                return 3;
    }
    return 0;
}

}  // namespace

class ScoreSharingTest : public QObject {
    Q_OBJECT

private slots:
    void twoCopiesKeepBothBests();
    void saveKeepsHigherStoredValues();
    void lockOfCrashedCopyIsTakenOver();
    void liveCopysLockIsNeverTakenOver();
    void heldBestIsToldOnceAndSavedLater();
    void readOnlyFolderRewritesInPlaceAndCutsOldBytes();
    void writableFolderReplacesAtomically();
    void specialFileHasItsOwnMessage();
};

// Two processes saving different bests into one folder at the same time:
// both are kept, and no stored best ever goes down meanwhile.
void ScoreSharingTest::twoCopiesKeepBothBests()
{
    Folder folder;
    layDown(ScoreTable{});
    constexpr int kRounds = 150;
    pid_t normal = ::fork();
    if (normal == 0)
        ::_exit(playAndSave(0, kRounds));
    pid_t extra = ::fork();
    if (extra == 0)
        ::_exit(playAndSave(6, kRounds));

    ScoreTable seen{};
    int running = 2;
    int failures = 0;
    long reads = 0;
    while (running > 0) {
        for (pid_t* child : {&normal, &extra}) {
            int status = 0;
            if (*child > 0 && ::waitpid(*child, &status, WNOHANG) == *child) {
                failures += WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
                *child = 0;
                --running;
            }
        }
        const ScoreTable now = storedTable();
        ++reads;
        for (std::size_t i = 0; i < now.size(); ++i) {
            QVERIFY2(now[i] >= seen[i], qPrintable(QStringLiteral("slot %1 went down from %2 to %3")
                                                       .arg(i).arg(seen[i]).arg(now[i])));
            seen[i] = now[i];
        }
    }
    QCOMPARE(failures, 0);
    ScoreTable expected;
    expected.fill(kRounds);
    QCOMPARE(storedTable(), expected);
    QVERIFY(!QFile::exists(QStringLiteral("tavo_s.dat.lock")));
    qInfo("%ld reads of the file while two copies saved %d times each", reads, kRounds);
}

// A save keeps, slot by slot, the higher of the stored and the new value,
// and the game then holds that table.
void ScoreSharingTest::saveKeepsHigherStoredValues()
{
    Folder folder;
    ScoreTable stored{};
    stored[3] = 500;
    stored[7] = 40;
    layDown(stored);
    resetModule1();
    Module1.HighScores[3] = 10;
    Module1.HighScores[7] = 90;
    Module1.HighScores[1] = 99;
    saveHighScores();
    ScoreTable expected{};
    expected[1] = 99;
    expected[3] = 500;
    expected[7] = 90;
    QCOMPARE(storedTable(), expected);
    QCOMPARE(Module1.HighScores, expected);
    resetModule1();
}

// A lock left by a copy that crashed is taken over at once, by its process
// id; so is a lock file that names no copy once it is older than the wait.
void ScoreSharingTest::lockOfCrashedCopyIsTakenOver()
{
    Folder folder;
    layDown(ScoreTable{});
    // Crashed: the lock file stays with the process gone.
    QCOMPARE(inChild([] {
                 QLockFile lock(QStringLiteral("tavo_s.dat.lock"));
                 if (!lock.tryLock(0))
                     return 1;
                 ::_exit(0);   // no unlock, as in a crash
             }),
             0);
    QVERIFY(QFile::exists(QStringLiteral("tavo_s.dat.lock")));
    ScoreTable mine{};
    mine[2] = 7;
    ScoreSave save = saveScores(mine);
    QVERIFY2(save.failure.isEmpty(), qPrintable(save.failure));
    QCOMPARE(storedTable()[2], 7);

    // Empty, as a power cut may leave it, and a minute old.
    {
        QFile empty(QStringLiteral("tavo_s.dat.lock"));
        QVERIFY(empty.open(QIODevice::WriteOnly));
    }
    const timeval old[2] = {{::time(nullptr) - 60, 0}, {::time(nullptr) - 60, 0}};
    QCOMPARE(::utimes("tavo_s.dat.lock", old), 0);
    mine[9] = 5;
    save = saveScores(mine);
    QVERIFY2(save.failure.isEmpty(), qPrintable(save.failure));
    QCOMPARE(storedTable()[9], 5);
    QVERIFY(!QFile::exists(QStringLiteral("tavo_s.dat.lock")));
}

// A copy whose save stalls with the lock held (stopped here, as a stalled
// disk would hold it) keeps its lock past every wait: the other copy's save
// reads and writes nothing and says the file is busy, so the stalled copy's
// late write cannot undo it; once the lock is free, saving again keeps both
// bests.
void ScoreSharingTest::liveCopysLockIsNeverTakenOver()
{
    Folder folder;
    ScoreTable start{};
    start[5] = 40;
    layDown(start);
    const QByteArray before = formatScores(start);
    // Copy A takes the lock, reads the table, and stops before writing.
    const pid_t stalled = ::fork();
    if (stalled == 0) {
        QLockFile lock(QStringLiteral("tavo_s.dat.lock"));
        if (!lock.tryLock(0))
            ::_exit(1);
        ScoreTable mine = storedTable();
        mine[3] = 60;
        ::raise(SIGSTOP);
        // Its write, long after: the table it read, with its own best.
        QFile f(QStringLiteral("tavo_s.dat"));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(formatScores(mine)) <= 0 || !f.flush())
            ::_exit(2);
        ::_exit(0);
    }
    KillOnExit guard{stalled};
    int status = 0;
    QCOMPARE(::waitpid(stalled, &status, WUNTRACED), stalled);
    QVERIFY(WIFSTOPPED(status));

    // Copy B beats a hard-mode stage best meanwhile.
    ScoreTable mine = start;
    mine[9] = 77;
    ScoreSave save = saveScores(mine);
    QVERIFY(save.busy);
    QVERIFY2(save.failure.contains(QStringLiteral("tavo_s.dat")), qPrintable(save.failure));
    QCOMPARE(save.stored, mine);
    QCOMPARE(readBytes(QStringLiteral("tavo_s.dat")), before);
    qint64 holder = 0;
    QString host;
    QString app;
    QVERIFY(QLockFile(QStringLiteral("tavo_s.dat.lock")).getLockInfo(&holder, &host, &app));
    QCOMPARE(holder, qint64(stalled));

    // A goes on and finishes its save; B saves again.
    ::kill(stalled, SIGCONT);
    QCOMPARE(::waitpid(stalled, &status, 0), stalled);
    guard.pid = 0;
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    save = saveScores(mine);
    QVERIFY2(save.failure.isEmpty() && !save.busy, qPrintable(save.failure));
    ScoreTable both = start;
    both[3] = 60;
    both[9] = 77;
    QCOMPARE(save.stored, both);
    QCOMPARE(storedTable(), both);
}

// A best that cannot be saved because another copy holds the file is kept
// in memory and the player is told once; it is saved at the next save, or
// at the end of the program, which says so if it still cannot be saved.
void ScoreSharingTest::heldBestIsToldOnceAndSavedLater()
{
    Folder folder;
    layDown(ScoreTable{});
    QStringList shown;
    setMessageBoxHandler([&](const MessageRequest& r) {
        shown << r.text;
        return MsgResult::OK;
    });
    QList<int> ends;
    setEndHandler([&](int code) { ends << code; });
    struct Restore {
        ~Restore()
        {
            setMessageBoxHandler(nullptr);
            setEndHandler(nullptr);
            resetModule1();
        }
    } restore;
    resetModule1();

    // Another copy holds the lock until told to let go.
    int release[2];
    int ready[2];
    QVERIFY(::pipe(release) == 0 && ::pipe(ready) == 0);
    // The holder's process id, or -1 when it could not take the lock.
    auto holdLock = [&]() -> pid_t {
        const pid_t pid = ::fork();
        if (pid == 0) {
            QLockFile lock(QStringLiteral("tavo_s.dat.lock"));
            const char byte = lock.tryLock(0) ? 'y' : 'n';
            (void)!::write(ready[1], &byte, 1);
            char go = 0;
            (void)!::read(release[0], &go, 1);
            lock.unlock();
            ::_exit(0);
        }
        char byte = 0;
        return ::read(ready[0], &byte, 1) == 1 && byte == 'y' ? pid : -1;
    };
    auto letGo = [&](pid_t pid) {
        const char go = 'g';
        QCOMPARE(::write(release[1], &go, 1), ssize_t(1));
        QCOMPARE(::waitpid(pid, nullptr, 0), pid);
    };

    KillOnExit guard{holdLock()};
    pid_t holder = guard.pid;
    QVERIFY(holder > 0);
    Module1.HighScores[4] = 31;
    saveHighScores();
    QCOMPARE(shown.size(), 1);
    QVERIFY2(shown[0].contains(QStringLiteral("tavo_s.dat")) && shown[0].contains(QStringLiteral("もう一度")),
             qPrintable(shown[0]));
    Module1.HighScores[10] = 52;
    saveHighScores();
    QCOMPARE(shown.size(), 1);   // told once
    QCOMPARE(storedTable(), ScoreTable{});
    QCOMPARE(Module1.HighScores[4], 31);
    letGo(holder);
    guard.pid = 0;
    // At the end the held bests go to the file; only the quit question shows.
    quitByKey();
    QCOMPARE(ends, QList<int>{0});
    QCOMPARE(shown.size(), 2);
    ScoreTable expected{};
    expected[4] = 31;
    expected[10] = 52;
    QCOMPARE(storedTable(), expected);

    // Still held at the end: the player hears that the best is not saved.
    holder = guard.pid = holdLock();
    QVERIFY(holder > 0);
    Module1.HighScores[1] = 8;
    saveHighScores();
    QCOMPARE(shown.size(), 3);
    quitByKey();
    letGo(holder);
    guard.pid = 0;
    QCOMPARE(ends, (QList<int>{0, 0}));
    QCOMPARE(shown.size(), 5);
    QVERIFY2(shown[4].contains(QStringLiteral("tavo_s.dat")) && shown[4].contains(QStringLiteral("保存されない")),
             qPrintable(shown[4]));
    QCOMPARE(storedTable(), expected);

    for (int fd : {release[0], release[1], ready[0], ready[1]})
        ::close(fd);
}

// In a folder that allows no new file but with a writable tavo_s.dat, the
// best is kept by rewriting the file in place (same file, new table), and
// the old bytes beyond the new twelve lines are cut off.
void ScoreSharingTest::readOnlyFolderRewritesInPlaceAndCutsOldBytes()
{
    Folder folder;
    ScoreTable old{};
    old.fill(123456);
    // Longer than the table the game writes (leading zeros, a stray line,
    // an end mark): the rest must go.
    QByteArray oldBytes;
    for (int score : old)
        oldBytes += "000" + QByteArray::number(score) + "\r\n";
    oldBytes += "98765\r\n\x1A";
    {
        QFile f(QStringLiteral("tavo_s.dat"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(oldBytes), qint64(oldBytes.size()));
    }
    const ino_t before = inodeOf("tavo_s.dat");
    // Root may write anywhere; the save runs as an ordinary user then.
    const bool asRoot = ::geteuid() == 0;
    if (asRoot)
        QCOMPARE(::chown("tavo_s.dat", 65534, 65534), 0);
    QCOMPARE(::chmod("tavo_s.dat", 0666), 0);
    QCOMPARE(::chmod(".", 0555), 0);
    ScoreTable mine = old;
    mine[4] = 999999;
    const auto saveAsUser = [&] {
        if (asRoot && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 10;
        // The folder really refuses new files for this process.
        QFile probe(QStringLiteral("probe"));
        if (probe.open(QIODevice::WriteOnly))
            return 11;
        const ScoreSave save = saveScores(mine);
        return save.busy ? 13 : save.failure.isEmpty() ? 0 : 12;
    };
    // With no lock file possible, the table itself is the lock: while
    // another copy holds it, nothing is written.
    const int other = ::open("tavo_s.dat", O_RDONLY);
    QVERIFY(other >= 0);
    QCOMPARE(::flock(other, LOCK_EX), 0);
    const int whileHeld = inChild(saveAsUser);
    ::close(other);
    QCOMPARE(readBytes(QStringLiteral("tavo_s.dat")), oldBytes);
    const int code = inChild(saveAsUser);
    QCOMPARE(::chmod(".", 0755), 0);
    QCOMPARE(whileHeld, 13);
    QCOMPARE(code, 0);
    QCOMPARE(readBytes(QStringLiteral("tavo_s.dat")), formatScores(mine));
    QCOMPARE(inodeOf("tavo_s.dat"), before);
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("tavo_s.dat")});
}

// Where the folder allows it, the save still replaces the file whole (a new
// file renamed over the old) and leaves nothing else behind.
void ScoreSharingTest::writableFolderReplacesAtomically()
{
    Folder folder;
    layDown(ScoreTable{});
    const ino_t before = inodeOf("tavo_s.dat");
    ScoreTable mine{};
    mine[0] = 5;
    const ScoreSave save = saveScores(mine);
    QVERIFY2(save.failure.isEmpty(), qPrintable(save.failure));
    QCOMPARE(readBytes(QStringLiteral("tavo_s.dat")), formatScores(mine));
    QVERIFY(inodeOf("tavo_s.dat") != before);
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("tavo_s.dat")});
}

// A named pipe called tavo_s.dat is neither opened nor taken for a folder:
// saving and reading say it is no regular file, and it stays as it was.
void ScoreSharingTest::specialFileHasItsOwnMessage()
{
    Folder folder;
    QCOMPARE(::mkfifo("TAVO_S.DAT", 0644), 0);
    const ScoreSave save = saveScores(ScoreTable{});
    QVERIFY2(save.failure.contains(notRegularFileReason()), qPrintable(save.failure));
    QVERIFY2(!save.failure.contains(QStringLiteral("フォルダ")), qPrintable(save.failure));
    QVERIFY2(save.failure.contains(QStringLiteral("tavo_s.dat")), qPrintable(save.failure));
    QString message;
    try {
        readScoreFile();
    } catch (const DataFileError& e) {
        message = e.message();
    }
    QVERIFY2(message.contains(notRegularFileReason()), qPrintable(message));
    QVERIFY(QFileInfo(QStringLiteral("TAVO_S.DAT")).isSymLink() == false);
    struct stat st {};
    QCOMPARE(::stat("TAVO_S.DAT", &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));
}

QTEST_GUILESS_MAIN(ScoreSharingTest)
#include "test_score_sharing.moc"
