// Only the latest games are read (games_by_mode and keys_by_stage), so the
// time to read does not grow with the length of the history.
#include "history/insight_query.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {
struct Latest {
    std::vector<qint64> ids;
    std::vector<GameRecord> games;
};

// The latest `limit` games (of one mode, when given) with their stages and
// keys, oldest first.
bool readLatest(QSqlDatabase db, std::optional<GameMode> mode, int limit, Latest& latest, QSqlError& error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT id, mode FROM games %1 ORDER BY id DESC LIMIT ?")
                  .arg(mode ? QStringLiteral("WHERE mode = ?") : QString()));
    if (mode)
        q.addBindValue(modeName(*mode));
    q.addBindValue(limit);
    if (!q.exec()) {
        error = q.lastError();
        return false;
    }
    QStringList list;
    while (q.next()) {
        GameRecord game;
        game.mode = modeFromName(q.value(1).toString()).value_or(GameMode::Normal);
        latest.ids.insert(latest.ids.begin(), q.value(0).toLongLong());
        latest.games.insert(latest.games.begin(), game);
        list << q.value(0).toString();
    }
    if (list.isEmpty())
        return true;
    if (!q.exec(QStringLiteral("SELECT s.game_id, s.id, s.stage, s.play_ms, k.ms, k.digit, k.target, k.hit"
                               " FROM stages s LEFT JOIN keys k ON k.stage_id = s.id"
                               " WHERE s.game_id IN (%1) ORDER BY s.game_id, s.stage, k.rowid")
                    .arg(list.join(QLatin1Char(','))))) {
        error = q.lastError();
        return false;
    }
    size_t g = 0;
    qint64 stageId = -1;
    while (q.next()) {
        const qint64 gameId = q.value(0).toLongLong();
        while (g < latest.ids.size() && latest.ids[g] != gameId)
            ++g;
        if (g == latest.ids.size())
            break;
        GameRecord& game = latest.games[g];
        if (q.value(1).toLongLong() != stageId) {
            stageId = q.value(1).toLongLong();
            StageRecord stage;
            stage.stage = q.value(2).toInt();
            stage.playMs = q.value(3).toInt();
            game.stages.push_back(stage);
        }
        if (q.isNull(4))
            continue;
        KeyStroke key;
        key.ms = q.value(4).toInt();
        key.digit = static_cast<qint8>(q.value(5).toInt());
        key.target = static_cast<qint8>(q.value(6).toInt());
        key.hit = q.value(7).toInt() != 0;
        game.stages.back().keys.push_back(key);
    }
    return true;
}

bool readAll(QSqlDatabase db, InsightData& data, QSqlError& error)
{
    for (GameMode mode : {GameMode::Normal, GameMode::Hard}) {
        Latest latest;
        if (!readLatest(db, mode, kInsightGames, latest, error))
            return false;
        data.keypad[mode == GameMode::Normal ? 0 : 1] = keypadInsight(latest.games);
    }
    Latest latest;
    if (!readLatest(db, std::nullopt, kSpeedGames, latest, error))
        return false;
    for (size_t i = 0; i < latest.games.size(); ++i)
        data.speeds.push_back({latest.ids[i], latest.games[i].mode, gameSpeed(latest.games[i])});
    if (!latest.games.empty()) {
        for (const StageRecord& stage : latest.games.back().stages) {
            if (stage.stage >= 1 && stage.stage <= kStageCount)
                data.lastGameStreaks[static_cast<size_t>(stage.stage - 1)] =
                    stageFigures(stage.keys, stage.playMs).longestStreak;
        }
    }
    return true;
}
}  // namespace

std::optional<InsightData> readInsight(HistoryDatabase& db)
{
    if (!db.open())
        return std::nullopt;
    InsightData data;
    QSqlError error;
    if (!readAll(db.connection(), data, error)) {
        db.noteFailure(error);
        return std::nullopt;
    }
    return data;
}
