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
    else if (!filter.withEntry)
        sql += QStringLiteral(" WHERE mode <> '%1'").arg(modeName(GameMode::Entry));
    sql += QStringLiteral(" ORDER BY id DESC");
    if (filter.latest > 0)
        sql += QStringLiteral(" LIMIT %1").arg(filter.latest);
    return sql;
}

bool readGames(const QSqlDatabase& db, const GameFilter& filter,
               const std::function<void(const GameRecord&)>& visit, QSqlError& error)
{
    // Games with their stages, and beside them the keys alone: a key row
    // carries no stage columns, which would be converted again on every row.
    const QString ids = selectedIds(filter);
    QSqlQuery games(db);
    games.setForwardOnly(true);
    QSqlQuery keys(db);
    keys.setForwardOnly(true);
    if (!games.exec(QStringLiteral("SELECT g.id, g.started_at, g.mode, g.total, g.outcome, g.last_stage, g.rank,"
                                   " s.stage, s.score, s.quota, s.verdict, s.play_ms FROM games g"
                                   " LEFT JOIN stages s ON s.game_id = g.id WHERE g.id IN (%1)"
                                   " ORDER BY g.id, s.stage").arg(ids))) {
        error = games.lastError();
        return false;
    }
    if (!keys.exec(QStringLiteral("SELECT s.game_id, s.stage, k.ms, k.digit, k.target, k.hit FROM stages s"
                                  " JOIN keys k ON k.stage_id = s.id WHERE s.game_id IN (%1)"
                                  " ORDER BY s.game_id, s.stage, k.rowid").arg(ids))) {
        error = keys.lastError();
        return false;
    }
    // Columns by name, looked up once.
    const QSqlRecord g = games.record();
    const QSqlRecord k = keys.record();
    auto at = [](const QSqlRecord& r, const char* name) { return r.indexOf(QLatin1String(name)); };
    const int id = at(g, "id"), startedAt = at(g, "started_at"), mode = at(g, "mode"), total = at(g, "total"),
              outcome = at(g, "outcome"), lastStage = at(g, "last_stage"), rank = at(g, "rank"),
              stage = at(g, "stage"), score = at(g, "score"), quota = at(g, "quota"), verdict = at(g, "verdict"),
              playMs = at(g, "play_ms");
    const int keyGame = at(k, "game_id"), keyStage = at(k, "stage"), ms = at(k, "ms"), digit = at(k, "digit"),
              target = at(k, "target"), hit = at(k, "hit");

    bool moreGames = games.next();
    bool moreKeys = keys.next();
    while (moreGames) {
        GameRecord game;
        game.id = games.value(id).toLongLong();
        game.startedAt = QDateTime::fromString(games.value(startedAt).toString(), Qt::ISODate);
        game.mode = modeFromName(games.value(mode).toString()).value_or(GameMode::Normal);
        game.total = games.value(total).toInt();
        game.outcome = outcomeFromName(games.value(outcome).toString());
        game.lastStage = games.value(lastStage).toInt();
        game.rank = rankFromName(games.value(rank).toString());
        for (; moreGames && games.value(id).toLongLong() == game.id; moreGames = games.next()) {
            if (games.value(stage).isNull())
                continue;  // a game without a stage written
            StageRecord r;
            r.stage = games.value(stage).toInt();
            r.score = games.value(score).toInt();
            r.quota = games.value(quota).toInt();
            r.verdict = verdictFromName(games.value(verdict).toString());
            r.playMs = games.value(playMs).toInt();
            for (; moreKeys && keys.value(keyGame).toLongLong() == game.id && keys.value(keyStage).toInt() == r.stage;
                 moreKeys = keys.next())
                r.keys.push_back(KeyStroke{keys.value(ms).toInt(), static_cast<qint8>(keys.value(digit).toInt()),
                                           static_cast<qint8>(keys.value(target).toInt()), keys.value(hit).toInt() != 0});
            game.stages.push_back(std::move(r));
        }
        visit(game);
    }
    error = games.lastError().isValid() ? games.lastError() : keys.lastError();
    return !error.isValid();
}
}  // namespace

bool forEachGame(HistoryDatabase& db, const GameFilter& filter, const std::function<void(const GameRecord&)>& visit)
{
    if (!db.openToRead())
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
