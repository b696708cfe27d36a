// The score file survives the game being killed in the middle of a save: a
// child process saves ever higher bests into tavo_s.dat, the way the game
// saves, and is killed with SIGKILL at a random moment, hundreds of times.
//
// QUENNEL_KILL_ROUNDS sets the number of kills (default 300).
#include "state/datafiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

int envNumber(const char* name, int fallback)
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok && value > 0 ? value : fallback;
}

QByteArray readScoreBytes()
{
    QFile file(QStringLiteral("tavo_s.dat"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The table of save number k: every slot raised at each save, the slots'
// numbers of different lengths, so a mix of two tables or a cut shows in
// the bytes.
ScoreTable tableOf(int k)
{
    ScoreTable t{};
    for (std::size_t i = 0; i < t.size(); ++i)
        t[i] = k * int(1 + i * i);
    return t;
}

// Which save number a file holds, or -1 when it is not exactly one such table.
int saveNumberOf(const QByteArray& bytes)
{
    try {
        const int k = parseScores(bytes)[0];
        return formatScores(tableOf(k)) == bytes ? k : -1;
    } catch (const DataFileError&) {
        return -1;
    }
}

// The child: saves the tables after first, signals once its first save is
// done, then keeps saving until it is killed. Never returns into the test
// framework.
[[noreturn]] void saveForever(int readyFd, int first)
{
    for (int k = first + 1;; ++k) {
        if (!saveScores(tableOf(k)).failure.isEmpty())
            _exit(3);
        if (k == first + 1) {
            const char byte = 'w';
            if (::write(readyFd, &byte, 1) != 1)
                _exit(4);
        }
    }
}

}  // namespace

class ScoreKillTest : public QObject {
    Q_OBJECT

private slots:
    void killedSaveLeavesOldOrNewTable();
};

// However the saving copy is killed, tavo_s.dat is always one whole table,
// the last one saved or the one after it: twelve lines, never cut off, mixed
// or missing, never older than what was there. A lock the killed copy left
// behind is taken over by the next one at once.
void ScoreKillTest::killedSaveLeavesOldOrNewTable()
{
    const int rounds = envNumber("QUENNEL_KILL_ROUNDS", 300);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    struct Restore {
        QString path;
        ~Restore() { QDir::setCurrent(path); }
    } restore{oldCurrent};

    // One save's duration on this disk sets the spread of the kill moments,
    // so kills land before, during and between saves.
    QElapsedTimer clock;
    clock.start();
    for (int k = 1; k <= 10; ++k)
        QVERIFY(saveScores(tableOf(k)).failure.isEmpty());
    const qint64 saveMicros = qMax<qint64>(50, clock.nsecsElapsed() / 10 / 1000);
    QCOMPARE(saveNumberOf(readScoreBytes()), 10);

    std::mt19937 rng(20010818u);
    std::uniform_int_distribution<qint64> delay(0, 4 * saveMicros);
    int endedFirst = 0;
    int endedLater = 0;
    for (int round = 1; round <= rounds; ++round) {
        const int before = saveNumberOf(readScoreBytes());
        int pipeFds[2];
        QVERIFY(::pipe(pipeFds) == 0);
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            ::close(pipeFds[0]);
            saveForever(pipeFds[1], before);
        }
        ::close(pipeFds[1]);
        char byte = 0;
        const ssize_t got = ::read(pipeFds[0], &byte, 1);
        ::close(pipeFds[0]);
        if (got == 1)
            ::usleep(static_cast<useconds_t>(delay(rng)));
        ::kill(pid, SIGKILL);
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        const QString where = QStringLiteral("round %1").arg(round);
        QVERIFY2(got == 1, qPrintable(where + QStringLiteral(": the saving copy never finished its first save")));
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
                 qPrintable(where + QStringLiteral(": the saving copy stopped by itself (a save failed)")));

        const QByteArray after = readScoreBytes();
        const int k = saveNumberOf(after);
        QVERIFY2(k > before,
                 qPrintable(where + QStringLiteral(": not a newer table: ") + QString::fromLatin1(after.toPercentEncoding())));
        (k == before + 1 ? endedFirst : endedLater) += 1;

        // A kill mid-save may leave the save's temporary file beside the
        // table; clear it so each round starts from a clean folder, but keep
        // the lock file of the killed copy.
        const QStringList entries = QDir().entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : entries)
            if (name != QLatin1String("tavo_s.dat") && name != QLatin1String("tavo_s.dat.lock"))
                QFile::remove(name);
    }
    // Some kills left the first save of their copy and some a later one:
    // the kills really landed at different moments of the saving.
    qInfo("%d kills: %d left the copy's first save, %d a later one (one save takes about %lld us)",
          rounds, endedFirst, endedLater, saveMicros);
    QVERIFY(endedFirst > 0);
    QVERIFY(endedLater > 0);
}

QTEST_GUILESS_MAIN(ScoreKillTest)
#include "test_score_kill.moc"
