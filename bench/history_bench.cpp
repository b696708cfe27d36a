// The play history timed where it matters: a history file of 100 MB (games
// of five stages of 150 keys each) is opened and checked, on the main thread
// and as the game does it (checked beside the title, the first game started
// after it), then 40 stages are ended through the recorder the game uses,
// each one key list of 150 keys handed over and written in its own
// transaction.
//   quennel_bench_history [folder]   (default: a temporary folder)
// Prints rows for the performance table.
#include "history/history_database.h"
#include "history/recorder.h"
#include "screens/history_notices.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
constexpr qint64 kStoredBytes = 100'000'000;
constexpr int kKeysPerStage = 150;
constexpr int kTimedStages = 40;
constexpr double kGoalMs = 20.0;
constexpr double kOpenGoalMs = 500.0;

StageRecord sampleStage(int stage)
{
    StageRecord s;
    s.stage = stage;
    s.score = 4000 + stage * 100;
    s.quota = 3000;
    s.playMs = 29970;
    for (int k = 0; k < kKeysPerStage; ++k) {
        const int target = 1 + (k * 7 + stage) % 9;
        const bool hit = k % 11 != 5;
        s.keys.push_back(KeyStroke{static_cast<qint32>(180 * k + 37 * (k % 3)), static_cast<qint8>(hit ? target : target % 9 + 1),
                                   static_cast<qint8>(target), hit});
    }
    return s;
}
}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir temp;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : temp.path();
    QDir().mkpath(folder);
    QDir::setCurrent(folder);
    QFile::remove(QString::fromLatin1(kHistoryFileName));

    const QString path = QDir(folder).absoluteFilePath(QString::fromLatin1(kHistoryFileName));
    int storedGames = 0;
    {
        HistoryDatabase db(path);
        for (; storedGames % 100 != 0 || QFileInfo(path).size() < kStoredBytes; ++storedGames) {
            const int g = storedGames;
            GameRecord game;
            game.startedAt = QDateTime::currentDateTime();
            game.mode = g % 3 ? GameMode::Normal : GameMode::Hard;
            for (int s = 1; s <= kStageCount; ++s)
                game.stages.push_back(sampleStage(s));
            game.total = 22000;
            game.outcome = GameOutcome::Cleared;
            game.lastStage = kStageCount;
            size_t saved = 0;
            if (!db.saveGame(game, saved)) {
                std::fprintf(stderr, "could not fill the history: %s\n", qPrintable(historyNotice(db)));
                return 1;
            }
        }
    }

    // Opening and checking the whole file, as the first game's start would
    // without the check begun beside the title.
    std::vector<double> opens;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer timer;
        timer.start();
        HistoryDatabase db(path);
        if (!db.open() || db.problem() != HistoryProblem::None) {
            std::fprintf(stderr, "could not open the history: %s\n", qPrintable(historyNotice(db)));
            return 1;
        }
        opens.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(opens.begin(), opens.end());

    GameRecorder& recorder = gameHistory();
    // As the game runs it: the check begun beside the title once it is
    // painted, the first game started 0.2 s later (keypad 4 at once) or 1 s
    // later (the title read first).
    auto startAfter = [&recorder](int ms) {
        std::vector<double> starts;
        for (int i = 0; i < 3; ++i) {
            recorder.reset();
            recorder.checkAhead();
            QThread::msleep(static_cast<unsigned long>(ms));
            QElapsedTimer timer;
            timer.start();
            recorder.gameStarted(GameMode::Normal);
            starts.push_back(timer.nsecsElapsed() / 1e6);
        }
        recorder.reset();
        std::sort(starts.begin(), starts.end());
        return starts;
    };
    const std::vector<double> atOnce = startAfter(200);
    const std::vector<double> later = startAfter(1000);

    // The game's own path: keys into memory, then the stage's end.
    qint64 now = 0;
    setHistoryMonotonicClock([&now] { return now; });
    std::vector<double> ms;
    const StageRecord sample = sampleStage(1);
    for (int i = 0; i < kTimedStages; ++i) {
        const int stage = i % kStageCount + 1;
        if (stage == 1)
            recorder.gameStarted(GameMode::Normal);
        now = 0;
        recorder.clockStarted();
        for (const KeyStroke& k : sample.keys) {
            now = k.ms;
            recorder.keyJudged(k.digit, k.target, k.hit);
        }
        now = 29970;
        QElapsedTimer timer;
        timer.start();
        recorder.stageEnded(stage, 400, 300, 400 * (stage - 1), StageVerdict::Clear);
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    const std::vector<HistoryReport> notices = recorder.takeNotices();
    recorder.reset();
    for (const HistoryReport& notice : notices)
        std::fprintf(stderr, "%s\n", qPrintable(historyNotice(notice)));
    if (!notices.empty())
        return 1;
    // What play itself pays: one judged key appended to memory (real clock).
    setHistoryMonotonicClock(nullptr);
    recorder.gameStarted(GameMode::Normal);
    std::vector<double> perKeyNs;
    for (int round = 0; round < 50; ++round) {
        recorder.clockStarted();
        QElapsedTimer timer;
        timer.start();
        for (const KeyStroke& k : sample.keys)
            recorder.keyJudged(k.digit, k.target, k.hit);
        perKeyNs.push_back(static_cast<double>(timer.nsecsElapsed()) / kKeysPerStage);
    }
    recorder.reset();
    std::sort(perKeyNs.begin(), perKeyNs.end());

    std::vector<double> sorted = ms;
    std::sort(sorted.begin(), sorted.end());
    const double median = sorted[sorted.size() / 2];
    const double worst = sorted.back();
    const qint64 bytes = QFileInfo(QString::fromLatin1(kHistoryFileName)).size();
    std::printf("| history: opening and checking (quick_check) %d games, %.1f MB, on the main thread "
                "| median %.0f ms, max %.0f ms of 5 | <= %.0f ms | %s |\n",
                storedGames, bytes / 1e6, opens[opens.size() / 2], opens.back(), kOpenGoalMs,
                opens.back() <= kOpenGoalMs ? "yes" : "no");
    std::printf("| history: the first game's start with the check begun beside the title (%.1f MB), keypad 4 "
                "pressed 0.2 s / 1 s after the title's first paint | median %.0f ms / %.0f ms, max %.0f ms / "
                "%.0f ms of 3 | <= %.0f ms | %s |\n",
                bytes / 1e6, atOnce[1], later[1], atOnce.back(), later.back(), kOpenGoalMs,
                atOnce.back() <= kOpenGoalMs ? "yes" : "no");
    std::printf("| history: stage-end save, %d games stored (%.1f MB), %d keys a stage, %d stages | "
                "median %.2f ms, max %.2f ms | <= %.0f ms | %s |\n",
                storedGames, bytes / 1e6, kKeysPerStage, kTimedStages, median, worst, kGoalMs,
                worst <= kGoalMs ? "yes" : "no");
    std::printf("| history: a judged key appended to memory (%d stages of %d keys) | median %.0f ns, "
                "worst stage %.0f ns a key | nothing else on the key path | yes |\n",
                static_cast<int>(perKeyNs.size()), kKeysPerStage, perKeyNs[perKeyNs.size() / 2], perKeyNs.back());
    return 0;
}
