// What must never be lost through the history file and its exports: the
// game folder's own files under an export, a full output, a damaged header,
// a write that fails twice, a stage met by damage mid-save, held games
// written in the order played, and a file that may not be read.
#include "app/history_export.h"
#include "history/history_database.h"
#include "history/recorder.h"
#include "screens/history_notices.h"

#include "support/history_folder.h"
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QtTest>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A game of `stages` stages, each striking 1 to 9 once.
GameRecord sweepGame(int stages, GameMode mode = GameMode::Normal)
{
    std::vector<StageRecord> played;
    for (int s = 1; s <= stages; ++s)
        played.push_back(sweepStage(s));
    return gameOf(QDateTime(QDate(2026, 12, 9), QTime(9, 0), QTimeZone(9 * 3600)), mode, played);
}

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void patch(const QString& path, qint64 at, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    f.seek(at);
    QCOMPARE(f.write(bytes), qint64(bytes.size()));
}

QByteArray bigEndian(quint32 value)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[3 - i] = static_cast<char>((value >> (8 * i)) & 0xff);
    return b;
}

// What the export wrote to standard error, and its exit status.
struct Run {
    int status = -1;
    QString errors;
    // Status 1, told in Japanese (names in 「」 aside), naming `what`.
    bool refused(const QString& what = QString()) const;
};

Run withStandardError(const std::function<int()>& run)
{
    QTemporaryFile log;
    log.open();
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    ::dup2(log.handle(), STDERR_FILENO);
    Run result;
    result.status = run();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    log.seek(0);
    result.errors = QString::fromUtf8(log.readAll());
    return result;
}

bool Run::refused(const QString& what) const
{
    QString rest = errors;
    rest.remove(QRegularExpression(QStringLiteral("「[^」]*」")));
    return status == 1 && !errors.isEmpty() && errors.contains(what)
           && !rest.contains(QRegularExpression(QStringLiteral("[A-Za-z]{2,}")));
}

}  // namespace

class HistoryFaultsTest : public QObject {
    Q_OBJECT

private:
    HistoryFolder folder_;
    QString path(const QString& name = QStringLiteral("history.sqlite")) const { return folder_.path(name); }
    QStringList broken() const
    {
        return QDir(folder_.folder()).entryList({QStringLiteral("history.broken-*.sqlite")}, QDir::Files);
    }
    void writeGames(int games)
    {
        HistoryDatabase db(path());
        QVERIFY(saveGames(db, std::vector<GameRecord>(size_t(games), sweepGame(2))));
    }
    // A game folder's own files, each with its bytes.
    QMap<QString, QByteArray> layFolder()
    {
        QMap<QString, QByteArray> files;
        writeGames(1);
        files[QStringLiteral("history.sqlite")] = bytesOf(path());
        QDir(folder_.folder()).mkpath(QStringLiteral("wav"));
        QDir(folder_.folder()).mkpath(QStringLiteral("chara"));
        const char* const names[] = {"tavo_s.dat", "tavo.dat", "wav/hit.wav", "chara/s1_0.bmp"};
        for (const char* name : names) {
            const QString n = QString::fromLatin1(name);
            QFile f(path(n));
            f.open(QIODevice::WriteOnly);
            f.write("keep " + n.toLatin1());
            files[n] = "keep " + n.toLatin1();
        }
        return files;
    }

private slots:
    void init() { folder_.enter(); }
    void cleanup() { folder_.leave(); }

    // An export never writes over the game folder's own files, by any name or link that reaches them; every refusal is told in Japanese.
    void exportSparesTheGameFolder()
    {
        const QMap<QString, QByteArray> files = layFolder();
        QVERIFY(QFile::link(path(QStringLiteral("tavo_s.dat")), path(QStringLiteral("scores-link.csv"))));
        QDir(folder_.folder()).mkpath(QStringLiteral("sub"));
        QDir(folder_.folder()).mkpath(QStringLiteral("folder.csv"));
        const QStringList targets = {
            path(QStringLiteral("history.sqlite")), path(QStringLiteral("tavo_s.dat")),
            QStringLiteral("tavo.dat"), QStringLiteral("TAVO_S.DAT"), QStringLiteral("sub/../history.sqlite-journal"),
            path(QStringLiteral("wav/hit.wav")), QStringLiteral("chara/new.bmp"), QStringLiteral("scores-link.csv"),
            QStringLiteral("history.sqlite-wal"),
            // Not the game's, but no file can go there: a folder, a name too long for the system.
            QStringLiteral("folder.csv"), QStringLiteral("x").repeated(300) + QStringLiteral(".csv"),
        };
        for (const QString& target : targets) {
            for (auto run : {runHistoryExport, runKeysExport}) {
                const Run r = withStandardError([&] { return run(path(), target); });
                QVERIFY2(r.refused(target.size() < 300 ? target : QString()), qPrintable(target + r.errors));
            }
        }
        for (auto it = files.begin(); it != files.end(); ++it)
            QVERIFY2(bytesOf(path(it.key())) == it.value(), qPrintable(it.key()));
        for (const char* made : {"chara/new.bmp", "history.sqlite-wal", "history.sqlite-journal"})
            QVERIFY2(!QFile::exists(path(QString::fromLatin1(made))), made);
        QVERIFY(QFileInfo(path(QStringLiteral("scores-link.csv"))).isSymLink());
        // A file of the player's own beside them is written.
        QCOMPARE(runKeysExport(path(), QStringLiteral("keys.csv")), 0);
        QCOMPARE(bytesOf(path(QStringLiteral("keys.csv"))).count('\n'), 1 + 18);
    }

    // A pipe or a character device is written into, never replaced; a full one, a full or closed standard output fail with status 1.
    void exportIntoStreamsChecksEveryWrite()
    {
        writeGames(3);
        const QByteArray fifo = QFile::encodeName(path(QStringLiteral("pipe.csv")));
        QVERIFY(::mkfifo(fifo.constData(), 0600) == 0);
        // The reading end is open first (the export's write then needs no
        // reader thread) and read once the export is done.
        const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
        QVERIFY(reader >= 0);
        const int status = runKeysExport(path(), path(QStringLiteral("pipe.csv")));
        QByteArray received(1 << 16, '\0');
        const ssize_t got = ::read(reader, received.data(), received.size());
        ::close(reader);
        received.resize(got > 0 ? int(got) : 0);
        QCOMPARE(status, 0);
        QCOMPARE(received.count('\n'), 1 + 3 * 18);
        QVERIFY(received.startsWith("game,stage,mode,ms,digit,target,hit\n1,1,normal,100,1,1,1\n"));
        struct stat info {};
        QVERIFY(::stat(fifo.constData(), &info) == 0 && S_ISFIFO(info.st_mode));

        // /dev/full as the target: a character device, left one, and the write fails.
        const Run full = withStandardError([&] { return runHistoryExport(path(), QStringLiteral("/dev/full")); });
        QVERIFY2(full.refused(QStringLiteral("/dev/full")), qPrintable(full.errors));
        QVERIFY(::stat("/dev/full", &info) == 0 && S_ISCHR(info.st_mode));

        // Standard output full, then closed.
        for (const char* device : {"/dev/full", "/dev/null"}) {
            std::fflush(stdout);
            const int saved = ::dup(STDOUT_FILENO);
            const int out = ::open(device, std::strcmp(device, "/dev/full") == 0 ? O_WRONLY : O_RDONLY);
            ::dup2(out, STDOUT_FILENO);
            ::close(out);
            const Run r = withStandardError([&] { return runKeysExport(path(), QStringLiteral("-")); });
            ::dup2(saved, STDOUT_FILENO);
            ::close(saved);
            QVERIFY2(r.refused(), qPrintable(device + r.errors));
        }
    }

    // An export only reads: a damaged, foreign or zero-byte history is reported with status 1 and left exactly as it was; a healthy one leaves no file behind.
    void exportLeavesTheHistoryAlone()
    {
        const QString target = path(QStringLiteral("out.csv"));
        for (const QByteArray& bytes : {QByteArray(), QByteArray(4096, 'x')}) {
            QFile f(path());
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
            f.close();
            const Run r = withStandardError([&] { return runHistoryExport(path(), target); });
            QVERIFY2(r.refused(QStringLiteral("history.sqlite")), qPrintable(r.errors));
            QVERIFY(bytesOf(path()) == bytes && broken().isEmpty() && !QFile::exists(target));
        }
        QFile::remove(path());
        writeGames(1);
        const QStringList before = QDir(folder_.folder()).entryList(QDir::Files);
        QCOMPARE(runHistoryExport(path(), target), 0);
        QStringList after = QDir(folder_.folder()).entryList(QDir::Files);
        after.removeOne(QStringLiteral("out.csv"));
        QCOMPARE(after, before);
    }

    // A damaged header: bad schema-format bytes or an impossible format number set the file aside; a truly newer file is only read.
    void damagedHeaderSetAside()
    {
        struct Damage {
            qint64 at;
            QByteArray bytes;
            bool pagesToo;  // noise in the middle of the file as well
            bool setAside;
            bool whileOpen = false;  // made after the game's start opened the file
        };
        const Damage damages[] = {
            {44, bigEndian(9), false, true},           // schema format 9: no SQLite reads it
            {60, bigEndian(kHistorySchemaVersion | (1u << 22)), false, true},  // one bit of user_version flipped
            {60, bigEndian(0x80000000u | kHistorySchemaVersion), false, true},  // the sign bit flipped
            {60, bigEndian(kHistorySchemaVersion + 1), true, true},           // a plausible newer version, but damaged
            {60, bigEndian(kHistorySchemaVersion + 1), false, false},         // a newer game's file, whole
            {44, bigEndian(9), false, true, true},     // met twice by one save
        };
        for (const Damage& d : damages) {
            gameHistory().reset();
            for (const QString& name : QDir(folder_.folder()).entryList(QDir::Files))
                QFile::remove(path(name));
            writeGames(20);
            const int pageSize = scalar(path(), QStringLiteral("PRAGMA page_size")).toInt();
            if (d.pagesToo)
                patch(path(), pageSize, QByteArray(2 * pageSize, '\x5a'));  // the tables' first pages
            GameRecorder& rec = gameHistory();
            if (d.whileOpen)
                rec.gameStarted(GameMode::Hard);
            patch(path(), d.at, d.bytes);
            if (d.whileOpen) {
                // The open connection reads the header and the schema again.
                patch(path(), 24, bigEndian(0x7fff0002));
                patch(path(), 40, bigEndian(77));
            }
            const QByteArray damaged = bytesOf(path());
            if (!d.whileOpen)
                rec.gameStarted(GameMode::Hard);
            rec.clockStarted();
            for (int digit = 1; digit <= 9; ++digit)
                rec.keyJudged(digit, digit, true);
            rec.stageEnded(1, 90, 50, 0, StageVerdict::Clear);
            if (d.whileOpen)
                QCOMPARE(broken().size(), 1);  // the same failure twice in the one save
            rec.stageEnded(2, 80, 50, 90, StageVerdict::Clear);  // a second try later in the run
            std::vector<HistoryReport> notices = rec.takeNotices();
            QVERIFY(!notices.empty());
            if (d.setAside) {
                QVERIFY(std::any_of(notices.begin(), notices.end(),
                                    [](const HistoryReport& n) { return n.problem == HistoryProblem::SetAside; }));
                QCOMPARE(broken().size(), 1);
                QCOMPARE(bytesOf(path(broken().front())), damaged);
                QCOMPARE(rec.finish(), 0);
                QCOMPARE(scalar(path(), QStringLiteral("SELECT group_concat(mode || ':' || last_stage) FROM games"))
                             .toString(), QStringLiteral("hard:2"));
                QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM keys")).toInt(), 9);
            } else {
                QCOMPARE(notices.front().problem, HistoryProblem::NewerFile);
                QVERIFY(broken().isEmpty());
                QCOMPARE(rec.finish(), 2);
                QCOMPARE(bytesOf(path()), damaged);
            }
        }
    }

    // Damage met halfway through a save: the file is set aside and the same stages go to the new one at once.
    void damageMidSaveWritesAgainOnNewFile()
    {
        HistoryDatabase db(path());
        std::vector<GameRecord> before(31, sweepGame(3));
        before[0] = sweepGame(1);
        QVERIFY(saveGames(db, before));
        // The games table's pages turned to noise behind the open connection's
        // back, and the change counter moved so it reads them again.
        const int pageSize = scalar(path(), QStringLiteral("PRAGMA page_size")).toInt();
        const int root = scalar(path(), QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'games'")).toInt();
        QVERIFY(root > 1);
        QByteArray noise(pageSize, '\0');
        QRandomGenerator random(39);
        for (char& c : noise)
            c = static_cast<char>(random.bounded(256));
        patch(path(), qint64(root - 1) * pageSize, noise);
        patch(path(), 24, bigEndian(0x7fff0001));

        GameRecord game = sweepGame(2, GameMode::Hard);
        size_t stagesSaved = 0;
        QVERIFY(db.saveGame(game, stagesSaved));
        QCOMPARE(db.problem(), HistoryProblem::SetAside);
        QCOMPARE(stagesSaved, size_t(2));
        QCOMPARE(broken().size(), 1);
        db.close();
        QCOMPARE(scalar(path(), QStringLiteral("SELECT group_concat(mode) FROM games")).toString(), QStringLiteral("hard"));
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM keys")).toInt(), 18);
    }

    // Games held back are written in the order played: a later one never goes in before an earlier one that failed.
    void heldGamesKeepTheirOrder()
    {
        GameRecorder& rec = gameHistory();
        rec.gameStarted(GameMode::Normal);
        const int pages = scalar(path(), QStringLiteral("PRAGMA page_count")).toInt();
        {
            QSqlQuery q(rec.database().connection());
            QVERIFY(q.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(pages)));
        }
        // The first game's stage is too big for the full disk.
        rec.clockStarted();
        for (int i = 0; i < 3000; ++i)
            rec.keyJudged(i % 9 + 1, i % 9 + 1, i % 4 != 0);
        rec.stageEnded(1, 20, 100, 0, StageVerdict::Failure);
        QCOMPARE(rec.takeNotices().size(), size_t(1));
        // The second game's one-key stage would fit, yet waits for the first.
        rec.gameStarted(GameMode::Hard);
        rec.clockStarted();
        rec.keyJudged(7, 7, true);
        rec.stageEnded(1, 1, 100, 0, StageVerdict::GiveUp);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM games")).toInt(), 0);
        {
            QSqlQuery q(rec.database().connection());
            QVERIFY(q.exec(QStringLiteral("PRAGMA max_page_count = 1000000")));
        }
        QCOMPARE(rec.finish(), 0);
        QCOMPARE(scalar(path(), QStringLiteral("SELECT group_concat(mode, ',') FROM (SELECT mode FROM games ORDER BY id)"))
                     .toString(), QStringLiteral("normal,hard"));
        QCOMPARE(scalar(path(), QStringLiteral("SELECT count(*) FROM keys")).toInt(), 3001);
    }

    // A history file the player may not read says so, not that it is write-protected.
    void unreadableFileSaysSo()
    {
        writeGames(1);
        QVERIFY(QFile::setPermissions(path(), QFileDevice::Permissions()));
        ::chmod(QFile::encodeName(folder_.folder()).constData(), 0777);
        // Root reads any file: the check runs as nobody.
        const uid_t was = ::geteuid();
        if (was == 0)
            QVERIFY(::seteuid(65534) == 0);
        HistoryDatabase db(path());
        const bool opened = db.open();
        const QString notice = historyNotice(db);
        if (was == 0)
            QVERIFY(::seteuid(0) == 0);
        QVERIFY(!opened);
        QCOMPARE(db.problem(), HistoryProblem::CannotOpen);
        QVERIFY2(notice.contains(QString::fromUtf8("読む権限")) && !notice.contains(QString::fromUtf8("書き込み禁止")),
                 qPrintable(notice));
        QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
};

QTEST_GUILESS_MAIN(HistoryFaultsTest)
#include "test_history_faults.moc"
