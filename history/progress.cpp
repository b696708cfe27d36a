// The progress screen's figures: a handful of small queries.
#include "history/progress.h"

#include <QSqlQuery>
#include <QVariant>

namespace {
std::optional<int> optionalInt(const QVariant& v)
{
    return v.isNull() ? std::nullopt : std::optional<int>(v.toInt());
}

StageVerdict verdictFromName(const QString& name)
{
    if (name == QLatin1String("failure"))
        return StageVerdict::Failure;
    if (name == QLatin1String("giveup"))
        return StageVerdict::GiveUp;
    return StageVerdict::Clear;
}

GameOutcome outcomeFromName(const QString& name)
{
    if (name == QLatin1String("cleared"))
        return GameOutcome::Cleared;
    if (name == QLatin1String("lost"))
        return GameOutcome::Lost;
    return GameOutcome::Quit;
}

const char* const kGameColumns =
    "SELECT g.id, g.started_at, g.mode, g.total, g.outcome, g.median_gap_ms,"
    " COALESCE(SUM(s.hits), 0), COALESCE(SUM(s.misses), 0)"
    " FROM games g LEFT JOIN stages s ON s.game_id = g.id ";

GamePoint gameFrom(const QSqlQuery& q)
{
    GamePoint g;
    g.id = q.value(0).toLongLong();
    g.startedAt = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
    g.mode = modeFromName(q.value(2).toString()).value_or(GameMode::Normal);
    g.total = q.value(3).toInt();
    g.outcome = outcomeFromName(q.value(4).toString());
    g.medianGapMs = optionalInt(q.value(5));
    g.hits = q.value(6).toInt();
    g.misses = q.value(7).toInt();
    return g;
}

bool readAll(QSqlDatabase db, ProgressData& data, QSqlError& error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    auto failed = [&] {
        error = q.lastError();
        return false;
    };
    if (!q.exec(QStringLiteral("SELECT count(*) FROM games")) || !q.next())
        return failed();
    data.gameCount = q.value(0).toInt();

    for (GameMode mode : {GameMode::Normal, GameMode::Hard}) {
        q.prepare(QString::fromLatin1(kGameColumns) +
                  QStringLiteral("WHERE g.id IN (SELECT id FROM games WHERE mode = ? ORDER BY id DESC LIMIT ?)"
                                 " GROUP BY g.id ORDER BY g.id"));
        q.addBindValue(modeName(mode));
        q.addBindValue(kProgressGames);
        if (!q.exec())
            return failed();
        while (q.next())
            data.recent[modeIndex(mode)].push_back(gameFrom(q));
    }

    if (!q.exec(QStringLiteral("SELECT g.mode, s.stage, MAX(s.score) FROM stages s"
                               " JOIN games g ON g.id = s.game_id GROUP BY g.mode, s.stage")))
        return failed();
    while (q.next()) {
        const std::optional<GameMode> mode = modeFromName(q.value(0).toString());
        const int stage = q.value(1).toInt();
        if (mode && stage >= 1 && stage <= kStageCount)
            data.stageBest[modeIndex(*mode)][stage - 1] = q.value(2).toInt();
    }

    if (!q.exec(QString::fromLatin1(kGameColumns) +
                QStringLiteral("WHERE g.id = (SELECT MAX(id) FROM games) GROUP BY g.id")))
        return failed();
    if (q.next())
        data.lastGame = gameFrom(q);
    if (data.lastGame) {
        q.prepare(QStringLiteral("SELECT stage, score, quota, verdict, hits, hits_per_second FROM stages"
                                 " WHERE game_id = ? ORDER BY stage"));
        q.addBindValue(data.lastGame->id);
        if (!q.exec())
            return failed();
        while (q.next()) {
            StageSummary s;
            s.stage = q.value(0).toInt();
            s.score = q.value(1).toInt();
            s.quota = q.value(2).toInt();
            s.verdict = verdictFromName(q.value(3).toString());
            s.hits = q.value(4).toInt();
            s.hitsPerSecond = splitSeconds(q.value(5).toString());
            data.lastGameStages.push_back(s);
        }
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
    if (!db.open())
        return std::nullopt;
    ProgressData data;
    QSqlError error;
    if (!readAll(db.connection(), data, error)) {
        db.noteFailure(error);
        return std::nullopt;
    }
    return data;
}
