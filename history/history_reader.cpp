// Games, stages and keys read back in two queries walked side by side.
#include "history/history_reader.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

namespace {
// The ids a filter selects, as a subquery.
QString selectedIds(const GameFilter& filter)
{
    QString sql = QStringLiteral("SELECT id FROM games");
    if (filter.mode)
        sql += QStringLiteral(" WHERE mode = '%1'").arg(modeName(*filter.mode));
    sql += QStringLiteral(" ORDER BY id DESC");
    if (filter.latest > 0)
        sql += QStringLiteral(" LIMIT %1").arg(filter.latest);
    return sql;
}

bool readGames(const QSqlDatabase& db, const GameFilter& filter,
               const std::function<void(const GameRecord&)>& visit, QSqlError& error)
{
    const QString ids = selectedIds(filter);
    QSqlQuery games(db);
    games.setForwardOnly(true);
    QSqlQuery stages(db);
    stages.setForwardOnly(true);
    if (!games.exec(QStringLiteral("SELECT id, started_at, mode, total, outcome, last_stage, rank FROM games"
                                   " WHERE id IN (%1) ORDER BY id").arg(ids))) {
        error = games.lastError();
        return false;
    }
    if (!stages.exec(QStringLiteral("SELECT s.game_id, s.stage, s.score, s.quota, s.verdict, s.play_ms,"
                                    " k.ms, k.digit, k.target, k.hit FROM stages s"
                                    " LEFT JOIN keys k ON k.stage_id = s.id WHERE s.game_id IN (%1)"
                                    " ORDER BY s.game_id, s.stage, k.rowid").arg(ids))) {
        error = stages.lastError();
        return false;
    }
    const QSqlRecord g = games.record();
    const QSqlRecord s = stages.record();
    auto value = [](const QSqlQuery& q, const QSqlRecord& r, const char* name) {
        return q.value(r.indexOf(QLatin1String(name)));
    };
    bool more = stages.next();
    while (games.next()) {
        GameRecord game;
        game.id = value(games, g, "id").toLongLong();
        game.startedAt = QDateTime::fromString(value(games, g, "started_at").toString(), Qt::ISODate);
        game.mode = modeFromName(value(games, g, "mode").toString()).value_or(GameMode::Normal);
        game.total = value(games, g, "total").toInt();
        game.outcome = outcomeFromName(value(games, g, "outcome").toString());
        game.lastStage = value(games, g, "last_stage").toInt();
        game.rank = rankFromName(value(games, g, "rank").toString());
        for (; more && value(stages, s, "game_id").toLongLong() == game.id; more = stages.next()) {
            const int stage = value(stages, s, "stage").toInt();
            if (game.stages.empty() || game.stages.back().stage != stage) {
                StageRecord r;
                r.stage = stage;
                r.score = value(stages, s, "score").toInt();
                r.quota = value(stages, s, "quota").toInt();
                r.verdict = verdictFromName(value(stages, s, "verdict").toString());
                r.playMs = value(stages, s, "play_ms").toInt();
                game.stages.push_back(std::move(r));
            }
            if (!value(stages, s, "ms").isNull())
                game.stages.back().keys.push_back(
                    KeyStroke{value(stages, s, "ms").toInt(), static_cast<qint8>(value(stages, s, "digit").toInt()),
                              static_cast<qint8>(value(stages, s, "target").toInt()),
                              value(stages, s, "hit").toInt() != 0});
        }
        visit(game);
    }
    error = games.lastError().isValid() ? games.lastError() : stages.lastError();
    return !error.isValid();
}
}  // namespace

bool forEachGame(HistoryDatabase& db, const GameFilter& filter, const std::function<void(const GameRecord&)>& visit)
{
    if (!db.open())
        return false;
    QSqlError error;
    if (readGames(db.connection(), filter, visit, error))
        return true;
    db.noteFailure(error);
    return false;
}

std::optional<std::vector<GameRecord>> latestGames(HistoryDatabase& db, std::optional<GameMode> mode, int n)
{
    std::vector<GameRecord> games;
    if (!forEachGame(db, GameFilter{mode, n}, [&](const GameRecord& g) { games.push_back(g); }))
        return std::nullopt;
    return games;
}
