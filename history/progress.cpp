// The progress screen's figures, from the latest games and their keys.
#include "history/progress.h"

#include "history/history_reader.h"

#include <QSqlQuery>
#include <QVariant>

namespace {
GamePoint pointOf(const GameRecord& game)
{
    GamePoint point;
    point.id = game.id;
    point.startedAt = game.startedAt;
    point.mode = game.mode;
    point.total = game.total;
    point.outcome = game.outcome;
    for (const StageRecord& stage : game.stages) {
        const StageFigures f = stageFigures(stage);
        point.hits += f.hits;
        point.misses += f.misses;
    }
    point.medianGapMs = gameMedianGapMs(game);
    return point;
}

// The count and the stage bests are stored values: plain SQL.
bool readStored(const QSqlDatabase& db, ProgressData& data, QSqlError& error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM games WHERE mode <> 'entry'")) || !q.next()) {
        error = q.lastError();
        return false;
    }
    data.gameCount = q.value(0).toInt();
    if (!q.exec(QStringLiteral("SELECT g.mode, s.stage, MAX(s.score) FROM stages s"
                               " JOIN games g ON g.id = s.game_id GROUP BY g.mode, s.stage"))) {
        error = q.lastError();
        return false;
    }
    while (q.next()) {
        const std::optional<GameMode> mode = modeFromName(q.value(0).toString());
        const int stage = q.value(1).toInt();
        // A practice stage or a 数字入力 test is no stage of a game: no best.
        if (mode && modeIndex(*mode) < kModeCount && stage >= 1 && stage <= kStageCount)
            data.stageBest[modeIndex(*mode)][stage - 1] = q.value(2).toInt();
    }
    return true;
}
}  // namespace

std::optional<double> GamePoint::accuracy() const
{
    const int keys = hits + misses;
    if (keys == 0)
        return std::nullopt;
    return static_cast<double>(hits) / keys;
}

std::optional<ProgressData> readProgress(HistoryDatabase& db)
{
    db.clearProblem();
    if (!db.openToRead())
        return std::nullopt;
    ProgressData data;
    QSqlError error;
    if (!readStored(db.connection(), data, error)) {
        db.noteFailure(error);
        return std::nullopt;
    }
    for (GameMode mode : {GameMode::Normal, GameMode::Hard}) {
        auto add = [&](const GameRecord& g) { data.recent[modeIndex(mode)].push_back(pointOf(g)); };
        if (!forEachGame(db, GameFilter{mode, kProgressGames}, add))
            return std::nullopt;
    }
    auto last = [&](const GameRecord& g) {
        data.lastGame = pointOf(g);
        for (const StageRecord& stage : g.stages) {
            const StageFigures f = stageFigures(stage);
            data.lastGameStages.push_back({stage.stage, stage.score, stage.quota, stage.verdict, f.hits, f.hitsPerSecond});
        }
    };
    if (!forEachGame(db, GameFilter{std::nullopt, 1}, last))
        return std::nullopt;
    return data;
}
