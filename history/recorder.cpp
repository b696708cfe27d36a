// The running game's history: keys in memory during play, one save per stage.
#include "history/recorder.h"

#include "history/history_check_ahead.h"

#include <QDir>
#include <QElapsedTimer>
#include <algorithm>
#include <utility>

const char* const kHistoryFileName = "history.sqlite";

namespace {
// The last try at exit: two waits for another program's lock at most.
constexpr int kExitWaitMs = 450;

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
}  // namespace

void setHistoryMonotonicClock(MonotonicClock clock)
{
    monotonicClock() = clock ? std::move(clock) : MonotonicClock(steadyMs);
}

GameRecorder& gameHistory()
{
    // Never destroyed: a static's destructor runs after Qt SQL's own parts
    // are gone, and closing the file then crashed the program. finish()
    // closes it while Qt is whole.
    static GameRecorder* const recorder = new GameRecorder;
    return *recorder;
}

void GameRecorder::reset()
{
    endHistoryCheckAhead();
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
    noteGameStart(mode);
    openForGame();
}

void GameRecorder::noteGameStart(GameMode mode)
{
    // A finished game leaves the list once it is saved; one still waiting
    // for the file stays, to be written with the next save.
    games_.erase(std::remove_if(games_.begin(), games_.end(), [](const Entry& e) { return !e.dirty; }),
                 games_.end());
    Entry entry;
    const QDateTime now = QDateTime::currentDateTime();
    entry.game.startedAt = now.toOffsetFromUtc(now.offsetFromUtc());  // kept with its offset
    entry.game.mode = mode;
    games_.push_back(std::move(entry));
    keys_.clear();
}

void GameRecorder::openForGame()
{
    // Opened (or created) before the stage is played, so the first stage's
    // end only writes; earlier games held back go in first.
    HistoryDatabase& db = database();
    db.clearProblem();
    db.open();
    noteProblem(db);  // a damaged file set aside on the way counts too
    saveHeldBack();
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
    record.score = stageScore * kScoreUnit;
    record.quota = quota * kScoreUnit;
    record.verdict = verdict;
    record.playMs = static_cast<int>(monotonicClock()() - clockStart_);
    record.keys = std::move(keys_);
    keys_ = {};

    GameRecord& game = entry.game;
    game.stages.push_back(std::move(record));
    const int gameScore = gameScoreBefore + stageScore;
    game.total = gameScore * kScoreUnit;
    game.lastStage = stage;
    const bool practice = game.mode == GameMode::Practice;
    if (const std::optional<GameOutcome> end = gameEndAfter(verdict, stage, practice)) {
        game.outcome = *end;
        // A practice stage played to the end has no rank.
        if (*end == GameOutcome::Cleared && !practice)
            game.rank = rankOf(gameScore);
    }
    entry.dirty = true;
    saveHeldBack();
}

void GameRecorder::entryEnded(int netKeys)
{
    if (games_.empty())
        return;
    Entry& entry = games_.back();
    StageRecord record;
    record.stage = 1;
    record.score = netKeys;
    record.playMs = static_cast<int>(monotonicClock()() - clockStart_);
    record.keys = std::move(keys_);
    keys_ = {};
    GameRecord& game = entry.game;
    game.stages.push_back(std::move(record));
    game.total = netKeys;
    game.lastStage = 1;
    game.outcome = GameOutcome::Cleared;  // a test always runs to its time-up
    entry.dirty = true;
    saveHeldBack();
}

const GameRecord* GameRecorder::currentGame() const
{
    return games_.empty() ? nullptr : &games_.back().game;
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

void GameRecorder::checkAhead()
{
    checkHistoryAhead(database().path());
}

void GameRecorder::saveHeldBack()
{
    HistoryDatabase& db = database();
    for (Entry& entry : games_) {
        if (!entry.dirty)
            continue;
        const bool saved = db.saveGame(entry.game, entry.savedStages);
        noteProblem(db);  // a damaged file set aside on the way counts too
        if (!saved)
            return;  // the rest waits for the next try
        entry.dirty = false;
    }
}

int GameRecorder::finish()
{
    database().setBusyTimeout(kExitWaitMs);
    saveHeldBack();
    int unsaved = 0;
    for (const Entry& entry : games_)
        if (entry.dirty)
            unsaved += static_cast<int>(entry.game.stages.size() - entry.savedStages);
    db_.reset();  // a clean close leaves nothing beside the file
    endHistoryCheckAhead();
    return unsaved;
}

void GameRecorder::noteProblem(const HistoryDatabase& db)
{
    const HistoryProblem problem = db.problem();
    if (problem == HistoryProblem::None)
        return;
    // A file set aside is news every time; any other problem is told once.
    if (problem != HistoryProblem::SetAside) {
        if (std::find(told_.begin(), told_.end(), problem) != told_.end())
            return;
        told_.push_back(problem);
    }
    notices_.push_back(db.report());
}

std::vector<HistoryReport> GameRecorder::takeNotices()
{
    return std::exchange(notices_, {});
}
