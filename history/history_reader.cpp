// Games, stages and keys read back in two queries walked side by side;
// the figures of プレイ記録 worked out from them.
#include "history/history_reader.h"

#include "history/practice_report.h"

#include <QSqlQuery>
#include <QStringList>
#include <QSqlRecord>
#include <QVariant>

namespace {
// The ids a filter selects, as a subquery.
QString selectedIds(const GameFilter& filter)
{
    QStringList where;
    if (filter.mode)
        where << QStringLiteral("mode = '%1'").arg(modeName(*filter.mode));
    else if (!filter.withEntry)
        where << QStringLiteral("mode <> '%1'").arg(modeName(GameMode::Entry));
    // started_at begins with the local date it was stored with.
    if (filter.since)
        where << QStringLiteral("started_at >= '%1'").arg(filter.since->toString(Qt::ISODate));
    QString sql = QStringLiteral("SELECT id FROM games");
    if (!where.isEmpty())
        sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    if (filter.since && filter.latestPerWeek > 0) {
        // Numbered newest first within each week counted from since.
        sql = QStringLiteral("SELECT id FROM (SELECT id, ROW_NUMBER() OVER (PARTITION BY"
                             " CAST((julianday(substr(started_at, 1, 10)) - julianday('%1')) / 7 AS INTEGER)"
                             " ORDER BY id DESC) AS n FROM (%2)) WHERE n <= %3")
                  .arg(filter.since->toString(Qt::ISODate),
                       sql.replace(QStringLiteral("SELECT id FROM"), QStringLiteral("SELECT id, started_at FROM")))
                  .arg(filter.latestPerWeek);
    }
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
    QString ids = selectedIds(filter);
    if (filter.since && filter.latestPerWeek > 0) {
        // A handful of games picked by a window function: listed as plain
        // numbers, so that the keys are found through their index rather
        // than by a walk through every key.
        QSqlQuery picked(db);
        picked.setForwardOnly(true);
        if (!picked.exec(ids)) {
            error = picked.lastError();
            return false;
        }
        QStringList list;
        while (picked.next())
            list << QString::number(picked.value(0).toLongLong());
        ids = list.isEmpty() ? QStringLiteral("SELECT NULL") : list.join(QLatin1Char(','));
    }
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

// The counts and the stage bests are stored values: plain SQL.
bool readCounts(const QSqlDatabase& db, ProgressData& data, QSqlError& error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM games WHERE mode <> 'entry'")) || !q.next()) {
        error = q.lastError();
        return false;
    }
    data.gameCount = q.value(0).toInt();
    if (!q.exec(QStringLiteral("SELECT count(*), (SELECT mode FROM games ORDER BY id DESC LIMIT 1) = 'entry'"
                               " FROM games WHERE mode = 'entry'")) ||
        !q.next()) {
        error = q.lastError();
        return false;
    }
    data.testCount = q.value(0).toInt();
    data.lastWasTest = q.value(1).toInt() == 1;
    return true;
}

// Each stage's key and hit counts: the table written with every stage, or
// in a file not yet upgraded the same counted from the keys themselves.
std::optional<QString> stageKeyCounts(QSqlQuery& q, QSqlError& error)
{
    if (!q.exec(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE name = 'stage_keys'")) || !q.next()) {
        error = q.lastError();
        return std::nullopt;
    }
    return q.value(0).toInt() == 1
               ? QStringLiteral("stage_keys")
               : QStringLiteral("(SELECT stage_id, count(*) AS keys, sum(hit) AS hits FROM keys GROUP BY stage_id)");
}

bool readStageBests(const QSqlDatabase& db, ProgressData& data, QSqlError& error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const std::optional<QString> counts = stageKeyCounts(q, error);
    if (!counts)
        return false;
    const QString scored = QStringLiteral("('%1', '%2')").arg(modeName(GameMode::Normal), modeName(GameMode::Hard));
    if (!q.exec(QStringLiteral("SELECT (SELECT count(*) FROM games WHERE mode IN %1),"
                               " (SELECT total(c.keys) FROM %2 c JOIN stages s ON s.id = c.stage_id"
                               " JOIN games g ON g.id = s.game_id WHERE g.mode IN %1)")
                    .arg(scored, *counts)) ||
        !q.next()) {
        error = q.lastError();
        return false;
    }
    data.scoredGames = q.value(0).toInt();
    data.scoredKeys = q.value(1).toLongLong();
    // Asked mode by mode: a practice stage is no stage of a game and has no best.
    for (GameMode mode : {GameMode::Normal, GameMode::Hard}) {
        if (!q.exec(QStringLiteral("SELECT s.stage, MAX(s.score) FROM stages s JOIN games g ON g.id = s.game_id"
                                   " WHERE g.mode = '%1' GROUP BY s.stage").arg(modeName(mode)))) {
            error = q.lastError();
            return false;
        }
        while (q.next()) {
            const int stage = q.value(0).toInt();
            if (stage >= 1 && stage <= kStageCount)
                data.stageBest[modeIndex(mode)][stage - 1] = q.value(1).toInt();
        }
    }
    return true;
}

// Each game's keys per hour as gameSpeed counts them (a stage without keys
// still counts its time), the best of each mode, from the stages' counted
// keys (or, in a file not yet upgraded, from the keys themselves).
bool readBestKph(const QSqlDatabase& db, InsightData& data, QSqlError& error)
{
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const std::optional<QString> counts = stageKeyCounts(q, error);
    if (!counts)
        return false;
    if (!q.exec(QStringLiteral("SELECT g.mode, MAX(x.hits * 3600000.0 / x.ms) FROM games g JOIN"
                               " (SELECT s.game_id, total(c.hits) AS hits, SUM(s.play_ms) AS ms FROM stages s"
                               " LEFT JOIN %1 c ON c.stage_id = s.id GROUP BY s.game_id) x ON x.game_id = g.id"
                               " WHERE x.ms > 0 AND g.mode <> 'entry' GROUP BY g.mode").arg(*counts))) {
        error = q.lastError();
        return false;
    }
    while (q.next()) {
        const std::optional<GameMode> mode = modeFromName(q.value(0).toString());
        if (mode && *mode != GameMode::Entry)
            data.bestKph[static_cast<size_t>(modeIndex(*mode))] = q.value(1).toDouble();
    }
    error = q.lastError();
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

std::optional<double> GamePoint::accuracy() const
{
    const int keys = hits + misses;
    if (keys == 0)
        return std::nullopt;
    return static_cast<double>(hits) / keys;
}

std::optional<ProgressData> readProgress(HistoryDatabase& db, std::initializer_list<ProgressPart> parts)
{
    db.clearProblem();
    if (!db.openToRead())
        return std::nullopt;
    ProgressData data;
    QSqlError error;
    if (!readCounts(db.connection(), data, error)) {
        db.noteFailure(error);
        return std::nullopt;
    }
    InsightData insight;
    for (ProgressPart part : parts)
        if (!readProgressPart(db, part, data, insight))
            return std::nullopt;
    return data;
}

bool readProgressPart(HistoryDatabase& db, ProgressPart part, ProgressData& data, InsightData& insight)
{
    if (!db.openToRead())
        return false;
    QSqlError error;
    switch (part) {
    case ProgressPart::Recent:
        for (GameMode mode : {GameMode::Normal, GameMode::Hard}) {
            std::vector<GamePoint>& points = data.recent[static_cast<size_t>(modeIndex(mode))];
            points.clear();
            if (!forEachGame(db, GameFilter{mode, kProgressGames}, [&](const GameRecord& g) { points.push_back(pointOf(g)); }))
                return false;
        }
        return true;
    case ProgressPart::StageBests:
        if (readStageBests(db.connection(), data, error))
            return true;
        db.noteFailure(error);
        return false;
    case ProgressPart::LastGame: {
        // The latest game of a mode with stages; its longest runs for the insight.
        data.lastGame.reset();
        data.lastGameStages.clear();
        insight.lastGameStreaks = {};
        auto last = [&](const GameRecord& g) {
            data.lastGame = pointOf(g);
            for (const StageRecord& stage : g.stages) {
                const StageFigures f = stageFigures(stage);
                data.lastGameStages.push_back({stage.stage, stage.score, stage.quota, stage.verdict, f.hits, f.hitsPerSecond});
                if (stage.stage >= 1 && stage.stage <= kStageCount)
                    insight.lastGameStreaks[static_cast<size_t>(stage.stage - 1)] = f.longestStreak;
            }
        };
        return forEachGame(db, GameFilter{std::nullopt, 1}, last);
    }
    case ProgressPart::Keypad: {
        for (GameMode mode : {GameMode::Normal, GameMode::Hard, GameMode::Practice}) {
            const std::optional<std::vector<GameRecord>> games = latestGames(db, mode, kInsightGames);
            if (!games)
                return false;
            insight.keypad[static_cast<size_t>(mode)] = keypadInsight(*games);
        }
        const std::optional<std::vector<GameRecord>> tests = latestGames(db, GameMode::Entry, kInsightGames);
        if (!tests)
            return false;
        insight.entryKeypad = entryKeypad(*tests);
        return true;
    }
    case ProgressPart::Speed: {
        const std::optional<std::vector<GameRecord>> games = latestGames(db, std::nullopt, kSpeedGames);
        const std::optional<std::vector<GameRecord>> tests = latestGames(db, GameMode::Entry, kSpeedGames);
        if (!games || !tests)
            return false;
        insight.speeds.clear();
        for (const GameRecord& game : *games)
            insight.speeds.push_back({game.id, game.mode, gameSpeed(game)});
        insight.entrySpeeds.clear();
        insight.bestKph = {};
        std::optional<double>& bestTest = insight.bestKph[static_cast<size_t>(modeIndex(GameMode::Entry))];
        for (const GameRecord& test : *tests) {
            EntryFigures f;
            for (const StageRecord& stage : test.stages)
                f = entryFigures(stage);  // a test has one stage
            insight.entrySpeeds.push_back({test.id, f.netKph()});
            if (f.netKph() && (!bestTest || *f.netKph() > *bestTest))
                bestTest = f.netKph();
        }
        if (readBestKph(db.connection(), insight, error))
            return true;
        db.noteFailure(error);
        return false;
    }
    case ProgressPart::Calendar: {
        const std::optional<std::vector<PlaySpan>> spans = readPlayTimes(db);
        if (!spans)
            return false;
        data.calendar = playCalendar(*spans, calendarToday());
        return true;
    }
    case ProgressPart::DigitTrends: {
        const QDate today = calendarToday();
        for (GameMode mode : {GameMode::Normal, GameMode::Hard, GameMode::Practice}) {
            std::vector<GameRecord> games;
            GameFilter recent{mode};
            recent.since = trendFirstDay(today);
            recent.latestPerWeek = kTrendGamesPerWeek;
            if (!forEachGame(db, recent, [&](const GameRecord& g) { games.push_back(g); }))
                return false;
            data.digitTrends[static_cast<size_t>(modeIndex(mode))] = digitTrend(games, today);
        }
        return true;
    }
    }
    return false;
}

std::optional<std::vector<PlaySpan>> readPlayTimes(HistoryDatabase& db)
{
    if (!db.openToRead())
        return std::nullopt;
    // Added up in SQL day by day: started_at begins with the local date it
    // was stored with, and a long history then gives a few hundred rows.
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT substr(g.started_at, 1, 10) AS day, SUM(s.play_ms) FROM games g"
                               " JOIN stages s ON s.game_id = g.id GROUP BY day"))) {
        db.noteFailure(q.lastError());
        return std::nullopt;
    }
    std::vector<PlaySpan> spans;
    while (q.next()) {
        const QDate day = QDate::fromString(q.value(0).toString(), Qt::ISODate);
        spans.push_back({day.isValid() ? QDateTime(day, QTime(12, 0), Qt::UTC) : QDateTime(), q.value(1).toLongLong()});
    }
    if (q.lastError().isValid()) {
        db.noteFailure(q.lastError());
        return std::nullopt;
    }
    return spans;
}

std::optional<InsightData> readInsight(HistoryDatabase& db)
{
    InsightData insight;
    ProgressData data;
    for (ProgressPart part : {ProgressPart::Keypad, ProgressPart::Speed, ProgressPart::LastGame})
        if (!readProgressPart(db, part, data, insight))
            return std::nullopt;
    return insight;
}

std::optional<KeypadInsight> practiceFigures(HistoryDatabase& db)
{
    const std::optional<std::vector<GameRecord>> games = latestGames(db, std::nullopt, kPracticeGames);
    if (!games)
        return std::nullopt;
    return keypadInsight(*games);
}

std::optional<StageRecord> stageRunWithScore(HistoryDatabase& db, GameMode mode, int stage, int score)
{
    if (!db.openToRead())
        return std::nullopt;
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT s.id, s.play_ms FROM stages s JOIN games g ON g.id = s.game_id"
                             " WHERE g.mode = ? AND s.stage = ? AND s.score = ? ORDER BY s.id DESC LIMIT 1"));
    q.addBindValue(modeName(mode));
    q.addBindValue(stage);
    q.addBindValue(score);
    if (!q.exec()) {
        db.noteFailure(q.lastError());
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    StageRecord run;
    run.stage = stage;
    run.score = score;
    run.playMs = q.value(1).toInt();
    const qint64 id = q.value(0).toLongLong();
    QSqlQuery keys(db.connection());
    keys.setForwardOnly(true);
    keys.prepare(QStringLiteral("SELECT ms, digit, target, hit FROM keys WHERE stage_id = ? ORDER BY rowid"));
    keys.addBindValue(id);
    if (!keys.exec()) {
        db.noteFailure(keys.lastError());
        return std::nullopt;
    }
    while (keys.next())
        run.keys.push_back(KeyStroke{keys.value(0).toInt(), static_cast<qint8>(keys.value(1).toInt()),
                                     static_cast<qint8>(keys.value(2).toInt()), keys.value(3).toInt() != 0});
    return run;
}
