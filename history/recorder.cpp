// The running game's history: keys in memory during play, one save per stage.
#include "history/recorder.h"

#include "platform/msgbox.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>

const char* const kHistoryFileName = "history.sqlite";

namespace {
// A stage sees a few hundred keys at most; reserving keeps the key path
// free of reallocation.
constexpr size_t kKeysReserved = 1024;

qint64 steadyMs()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

MonotonicClock& monotonicClock()
{
    static MonotonicClock clock = steadyMs;
    return clock;
}

WallClock& wallClock()
{
    static WallClock clock = [] {
        const QDateTime now = QDateTime::currentDateTime();
        return now.toOffsetFromUtc(now.offsetFromUtc());
    };
    return clock;
}
}  // namespace

MonotonicClock setHistoryMonotonicClock(MonotonicClock clock)
{
    MonotonicClock previous = monotonicClock();
    monotonicClock() = clock ? std::move(clock) : MonotonicClock(steadyMs);
    return previous;
}

WallClock setHistoryWallClock(WallClock clock)
{
    static const WallClock real = wallClock();
    WallClock previous = wallClock();
    wallClock() = clock ? std::move(clock) : real;
    return previous;
}

GameRecorder& gameHistory()
{
    static GameRecorder recorder;
    return recorder;
}

GameRecorder::GameRecorder()
{
    keys_.reserve(kKeysReserved);
}

GameRecorder::~GameRecorder() = default;

void GameRecorder::reset()
{
    keys_.clear();
    games_.clear();
    db_.reset();
    dbPath_.clear();
    notices_.clear();
    told_.clear();
    clockStart_ = 0;
}

void GameRecorder::gameStarted(GameMode mode)
{
    // A finished game leaves the list once it is saved; one still waiting
    // for the file stays, to be written with the next save.
    games_.erase(std::remove_if(games_.begin(), games_.end(), [](const Entry& e) { return !e.dirty; }),
                 games_.end());
    Entry entry;
    entry.game.startedAt = wallClock()();
    entry.game.mode = mode;
    games_.push_back(std::move(entry));
    keys_.clear();
    // Opened (or created) now, while the screens change, so the first
    // stage's end only writes.
    HistoryDatabase& db = database();
    db.clearProblem();
    db.open();
    noteProblem(db);  // a damaged file kept aside on the way counts too
}

void GameRecorder::clockStarted()
{
    keys_.clear();
    keys_.reserve(kKeysReserved);
    clockStart_ = monotonicClock()();
}

void GameRecorder::keyJudged(int digit, int target, bool hit)
{
    keys_.push_back(KeyStroke{static_cast<qint32>(monotonicClock()() - clockStart_),
                              static_cast<qint8>(digit), static_cast<qint8>(target), hit});
}

void GameRecorder::stageEnded(int stage, int stageScore, int quota, int gameScoreBefore, StageVerdict verdict)
{
    if (games_.empty())
        return;  // no game was started (a test driving the play screen alone)
    Entry& entry = games_.back();
    StageRecord record;
    record.stage = stage;
    record.score = stageScore * 10;
    record.quota = quota * 10;
    record.verdict = verdict;
    record.playMs = static_cast<int>(monotonicClock()() - clockStart_);
    record.keys = std::move(keys_);
    keys_ = {};
    keys_.reserve(kKeysReserved);

    GameRecord& game = entry.game;
    game.stages.push_back(std::move(record));
    const int gameScore = gameScoreBefore + stageScore;
    game.total = gameScore * 10;
    game.lastStage = stage;
    if (verdict != StageVerdict::Clear) {
        game.outcome = GameOutcome::Lost;
    } else if (stage == kStageCount) {
        game.outcome = GameOutcome::Cleared;
        game.rank = rankOf(gameScore);
    }
    entry.dirty = true;
    saveAll();
}

HistoryDatabase& GameRecorder::database()
{
    const QString path = QDir::current().absoluteFilePath(QString::fromLatin1(kHistoryFileName));
    if (!db_ || dbPath_ != path) {
        db_ = std::make_unique<HistoryDatabase>(path);
        dbPath_ = path;
    }
    return *db_;
}

void GameRecorder::saveAll()
{
    HistoryDatabase& db = database();
    for (Entry& entry : games_) {
        if (!entry.dirty)
            continue;
        if (!db.saveGame(entry.game, entry.savedStages, entry.gameId)) {
            noteProblem(db);
            return;  // the rest waits for the next stage end
        }
        noteProblem(db);  // a damaged file kept aside on the way
        entry.dirty = false;
    }
}

void GameRecorder::noteProblem(const HistoryDatabase& db)
{
    const HistoryProblem problem = db.problem();
    if (problem == HistoryProblem::None)
        return;
    // A damaged file is news every time; any other problem is told once.
    if (problem != HistoryProblem::KeptAside) {
        if (std::find(told_.begin(), told_.end(), problem) != told_.end())
            return;
        told_.push_back(problem);
    }
    notices_ << historyNoticeText(problem, QFileInfo(db.path()).fileName(), db.problemDetail(),
                                  QFileInfo(db.keptAsidePath()).fileName());
}

QStringList GameRecorder::takeNotices()
{
    QStringList notices;
    notices.swap(notices_);
    return notices;
}

void showHistoryNotices()
{
    for (const QString& text : gameHistory().takeNotices()) {
        MessageRequest request;
        request.text = text;
        msgbox(request);
    }
}

QString historyProblemSummary(HistoryProblem problem, const QString& detail)
{
    switch (problem) {
    case HistoryProblem::Locked: return QString::fromUtf8("ほかのプログラムが使用中です。");
    case HistoryProblem::ReadOnly: return QString::fromUtf8("ファイルを開く許可がありません。");
    case HistoryProblem::DiskFull: return QString::fromUtf8("ディスクがいっぱいです。");
    case HistoryProblem::NewerSchema: return QString::fromUtf8("新しい版のクェネルの形式です。");
    default: return QString::fromUtf8("（%1）").arg(detail);
    }
}

QString historyNoticeText(HistoryProblem problem, const QString& fileName, const QString& detail,
                          const QString& keptAsideName)
{
    const QString file = QString::fromUtf8("プレイ記録ファイル「%1」").arg(fileName);
    const QString goesOn = QString::fromUtf8("ゲームはこのまま続けられます。");
    switch (problem) {
    case HistoryProblem::None:
        return QString();
    case HistoryProblem::KeptAside:
        return QString::fromUtf8("%1が壊れていたため、「%2」という名前で残し、新しい記録を始めました。")
            .arg(file, keptAsideName);
    case HistoryProblem::Locked:
        return QString::fromUtf8("%1をほかのプログラム（別のクェネルなど）が使っていて、今回のステージを"
                                 "書き込めませんでした。%2記録は次のステージの終わりにもう一度書き込みます。")
            .arg(file, goesOn);
    case HistoryProblem::ReadOnly:
        return QString::fromUtf8("%1（またはそのフォルダ）は書き込みが禁止されています。%2"
                                 "書き込めるようになるまで、プレイ記録は保存されません。")
            .arg(file, goesOn);
    case HistoryProblem::DiskFull:
        return QString::fromUtf8("ディスクがいっぱいで、%1に書き込めませんでした。%2"
                                 "空きができれば、記録は次のステージの終わりに書き込みます。")
            .arg(file, goesOn);
    case HistoryProblem::NewerSchema:
        return QString::fromUtf8("%1は新しい版のクェネルで作られています（形式 %2。この版が扱えるのは %3 まで）。"
                                 "ファイルはそのままにして読むだけにし、この版でのプレイは記録しません。")
            .arg(file, detail, QString::number(kHistorySchemaVersion));
    case HistoryProblem::Unavailable:
        return QString::fromUtf8("%1を使えません（%2）。%3プレイ記録は保存されません。").arg(file, detail, goesOn);
    }
    return QString();
}
