// Bests and history stages that could not be written are never dropped: a
// best met by a full disk is kept and saved at the next stage end or at the
// end, and SIGTERM, SIGHUP and SIGINT end the game as its close box does,
// writing what is held back first.
#include "support/history_folder.h"
#include "app/end_signals.h"
#include "history/recorder.h"
#include "platform/msgbox.h"
#include "platform/system.h"
#include "screens/score_saving.h"
#include "state/datafiles.h"
#include "state/module1.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {

ScoreTable storedTable()
{
    QFile f(QStringLiteral("tavo_s.dat"));
    try {
        return f.open(QIODevice::ReadOnly) ? parseScores(f.readAll()) : ScoreTable{};
    } catch (const DataFileError&) {
        return ScoreTable{};
    }
}

// Writes beyond a few bytes fail, as on a full disk (root ignores
// permissions, not this limit); the old limit comes back with it.
class FullDisk {
public:
    FullDisk()
    {
        getrlimit(RLIMIT_FSIZE, &saved_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved_;
        tight.rlim_cur = 8;
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FullDisk() { freed(); }
    void freed()
    {
        if (!limited_)
            return;
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, oldHandler_);
        limited_ = false;
    }

private:
    rlimit saved_ {};
    void (*oldHandler_)(int) = nullptr;
    bool limited_ = true;
};

}  // namespace

class EndSignalsTest : public QObject {
    Q_OBJECT

private:
    HistoryFolder folder_;
    QStringList shown_;
    QList<int> ends_;

private slots:
    void init()
    {
        folder_.enter();
        QFile f(QStringLiteral("tavo_s.dat"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(formatScores(ScoreTable{}));
        f.close();
        resetModule1();
        shown_.clear();
        ends_.clear();
        setMessageBoxHandler([this](const MessageRequest& r) {
            shown_ << r.text;
            return MsgResult::OK;
        });
        setEndHandler([this](int code) { ends_ << code; });
    }
    void cleanup()
    {
        setMessageBoxHandler(nullptr);
        setEndHandler(nullptr);
        resetModule1();
        folder_.leave();
    }

    // A best that met a full disk is kept, told once, and saved at the next stage end once there is room; at the end if not before.
    void fullDiskBestSavedLater()
    {
        {
            FullDisk full;
            Module1.HighScores[3] = 415;
            saveHighScores();
            QCOMPARE(shown_.size(), 1);
            QVERIFY2(shown_[0].contains(QStringLiteral("tavo_s.dat")) && shown_[0].contains(QStringLiteral("もう一度")),
                     qPrintable(shown_[0]));
            Module1.HighScores[9] = 52;
            saveHighScores();
            retryHeldHighScores();
            QCOMPARE(shown_.size(), 1);  // told once
            QCOMPARE(storedTable(), ScoreTable{});
        }
        retryHeldHighScores();  // the next stage end, space freed
        ScoreTable expected{};
        expected[3] = 415;
        expected[9] = 52;
        QCOMPARE(storedTable(), expected);
        QCOMPARE(shown_.size(), 1);

        // Full again: kept until the end, which saves it once freed...
        FullDisk full;
        Module1.HighScores[6] = 77;
        saveHighScores();
        QCOMPARE(shown_.size(), 2);
        full.freed();
        saveHeldHighScores();
        expected[6] = 77;
        QCOMPARE(storedTable(), expected);
        QCOMPARE(shown_.size(), 2);
        // ...and says so when it still cannot.
        FullDisk stillFull;
        Module1.HighScores[1] = 8;
        saveHighScores();
        saveHeldHighScores();
        QCOMPARE(shown_.size(), 4);
        QVERIFY2(shown_[3].contains(QString::fromUtf8("保存されない")), qPrintable(shown_[3]));
        QCOMPARE(storedTable(), expected);
    }

    // SIGTERM, SIGHUP and SIGINT: no question, the held best and the stage held back by a lock written, then the end with 128 + the signal.
    void signalEndsLikeTheCloseBox()
    {
        QObject owner;
        endGameOnSignals(&owner);
        int best = 100;
        for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
            ++best;
            gameHistory().reset();
            QFile::remove(QStringLiteral("history.sqlite"));
            GameRecorder& rec = gameHistory();
            rec.gameStarted(GameMode::Normal);
            // Another program holds the history: the stage waits in memory.
            Holder other(QStringLiteral("history.sqlite"));
            QVERIFY(other.held());
            rec.clockStarted();
            for (int digit = 1; digit <= 9; ++digit)
                rec.keyJudged(digit, digit, digit != 5);
            rec.stageEnded(1, 64, 50, 0, StageVerdict::Clear);
            other.release();
            {
                FullDisk full;
                Module1.HighScores[1] = best;
                saveHighScores();
            }
            shown_.clear();
            ends_.clear();

            std::raise(signal);
            QTRY_COMPARE_WITH_TIMEOUT(ends_, QList<int>{128 + signal}, 5000);
            QVERIFY(shown_.isEmpty());  // no question, no message box
            QCOMPARE(storedTable()[1], best);
            QCOMPARE(rows(QStringLiteral("history.sqlite"), QStringLiteral("SELECT count(*), sum(hit) FROM keys")),
                     QStringList{QStringLiteral("9|8")});
        }
    }
};

QTEST_MAIN(EndSignalsTest)
#include "test_end_signals.moc"
