// Saving the best scores when the folder is shared or restricted: two copies
// of the game saving at once, a lock left behind by a crashed or hung copy,
// a read-only folder with a writable score file, and a score file that is
// not a regular file.
#include "platform/system_reasons.h"
#include "stage/high_scores.h"
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
#include <sys/stat.h>
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
    void lockOfCrashedOrHungCopyIsTakenOver();
    void readOnlyFolderRewritesInPlace();
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

// A lock left by a copy that crashed is taken over at once, one held by a
// copy that hangs after a moment; the save then goes through.
void ScoreSharingTest::lockOfCrashedOrHungCopyIsTakenOver()
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

    // Hung: the holder is alive but stopped with the lock held.
    int ready[2];
    QVERIFY(::pipe(ready) == 0);
    const pid_t hung = ::fork();
    if (hung == 0) {
        QLockFile lock(QStringLiteral("tavo_s.dat.lock"));
        const char byte = lock.tryLock(0) ? 'y' : 'n';
        (void)!::write(ready[1], &byte, 1);
        ::raise(SIGSTOP);
        ::_exit(0);
    }
    char byte = 0;
    QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
    QCOMPARE(byte, 'y');
    mine[8] = 3;
    save = saveScores(mine);
    ::kill(hung, SIGKILL);
    ::waitpid(hung, nullptr, 0);
    ::close(ready[0]);
    ::close(ready[1]);
    QVERIFY2(save.failure.isEmpty(), qPrintable(save.failure));
    QCOMPARE(storedTable()[8], 3);
    QCOMPARE(storedTable()[2], 7);
}

// In a folder that allows no new file but with a writable tavo_s.dat, the
// best is kept by rewriting the file in place (same file, new table).
void ScoreSharingTest::readOnlyFolderRewritesInPlace()
{
    Folder folder;
    ScoreTable old{};
    old.fill(123456);   // longer than the new table: the rest must go
    layDown(old);
    const ino_t before = inodeOf("tavo_s.dat");
    // Root may write anywhere; the save runs as an ordinary user then.
    const bool asRoot = ::geteuid() == 0;
    if (asRoot)
        QCOMPARE(::chown("tavo_s.dat", 65534, 65534), 0);
    QCOMPARE(::chmod("tavo_s.dat", 0666), 0);
    QCOMPARE(::chmod(".", 0555), 0);
    ScoreTable mine = old;
    mine[4] = 999999;
    const int code = inChild([&] {
        if (asRoot && (::setgid(65534) != 0 || ::setuid(65534) != 0))
            return 10;
        // The folder really refuses new files for this process.
        QFile probe(QStringLiteral("probe"));
        if (probe.open(QIODevice::WriteOnly))
            return 11;
        const ScoreSave save = saveScores(mine);
        return save.failure.isEmpty() ? 0 : 12;
    });
    QCOMPARE(::chmod(".", 0755), 0);
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
