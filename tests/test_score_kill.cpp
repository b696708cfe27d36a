// The score file survives the game being killed in the middle of a save: a
// child process rewrites tavo_s.dat over and over, alternating between two
// tables, and is killed with SIGKILL at a random moment, hundreds of times.
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

// The child: signals once its first table is safely written, then keeps
// rewriting until it is killed. Never returns into the test framework.
[[noreturn]] void rewriteForever(int readyFd, const ScoreTable& first, const ScoreTable& second)
{
    bool useFirst = true;
    bool signalled = false;
    for (;;) {
        if (!writeScoreFile(useFirst ? first : second).isEmpty())
            _exit(3);
        if (!signalled) {
            const char byte = 'w';
            if (::write(readyFd, &byte, 1) != 1)
                _exit(4);
            signalled = true;
        }
        useFirst = !useFirst;
    }
}

}  // namespace

class ScoreKillTest : public QObject {
    Q_OBJECT

private slots:
    void killedSaveLeavesOldOrNewTable();
};

// However the writer is killed, tavo_s.dat is always one whole table: exactly
// the old or the new values, twelve lines, never cut off or missing.
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

    // Tables of different lengths, so a mix or a cut shows in the bytes.
    const ScoreTable a{7, 1, 2, 3, 4, 5, 9, 8, 7, 6, 5, 4};
    const ScoreTable b{214748364, 123456, 99999, 88888, 77777, 66666,
                       200000000, 555555, 444444, 333333, 222222, 111111};
    const QByteArray bytesA = formatScores(a);
    const QByteArray bytesB = formatScores(b);
    QVERIFY(writeScoreFile(a).isEmpty());

    // One save's duration on this disk sets the spread of the kill moments,
    // so kills land before, during and between saves.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 10; ++i)
        QVERIFY(writeScoreFile(i % 2 ? a : b).isEmpty());
    const qint64 saveMicros = qMax<qint64>(50, clock.nsecsElapsed() / 10 / 1000);
    QVERIFY(writeScoreFile(a).isEmpty());

    std::mt19937 rng(20010818u);
    std::uniform_int_distribution<qint64> delay(0, 4 * saveMicros);
    int endedA = 0;
    int endedB = 0;
    for (int round = 1; round <= rounds; ++round) {
        const QByteArray before = readScoreBytes();
        // Start with the table not on disk, so every save changes the file.
        const bool beforeIsA = before == bytesA;
        int pipeFds[2];
        QVERIFY(::pipe(pipeFds) == 0);
        const pid_t pid = ::fork();
        QVERIFY(pid >= 0);
        if (pid == 0) {
            ::close(pipeFds[0]);
            rewriteForever(pipeFds[1], beforeIsA ? b : a, beforeIsA ? a : b);
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
        QVERIFY2(got == 1, qPrintable(where + QStringLiteral(": the writer never finished its first save")));
        QVERIFY2(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL,
                 qPrintable(where + QStringLiteral(": the writer stopped by itself (a save failed)")));

        const QByteArray after = readScoreBytes();
        try {
            (void)parseScores(after);
        } catch (const DataFileError& e) {
            QFAIL(qPrintable(where + QStringLiteral(": ") + e.message()));
        }
        QVERIFY2(after == bytesA || after == bytesB,
                 qPrintable(where + QStringLiteral(": neither table: ") + QString::fromLatin1(after.toPercentEncoding())));
        (after == bytesA ? endedA : endedB) += 1;

        // A kill mid-save may leave the save's temporary file beside the
        // table; clear it so each round starts from a clean folder.
        const QStringList entries = QDir().entryList(QDir::Files | QDir::Hidden);
        for (const QString& name : entries)
            if (name != QLatin1String("tavo_s.dat"))
                QFile::remove(name);
    }
    // Both tables were left behind by some kill: the kills really landed at
    // different moments of the rewriting.
    qInfo("%d kills: %d left the first table, %d the second (one save takes about %lld us)",
          rounds, endedA, endedB, saveMicros);
    QVERIFY(endedA > 0);
    QVERIFY(endedB > 0);
}

QTEST_GUILESS_MAIN(ScoreKillTest)
#include "test_score_kill.moc"
