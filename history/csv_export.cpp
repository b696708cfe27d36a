// The history written out as CSV, with the figures worked out from the keys.
#include "history/csv_export.h"

#include "history/csv_target.h"
#include "history/history_reader.h"
#include "history/stage_figures.h"

#include <QFileInfo>
#include <QStringList>

namespace {
const char* const kColumns[] = {
    "game", "started_at", "mode", "game_total", "outcome", "last_stage", "rank", "game_median_gap_ms",
    "stage", "score", "quota", "verdict", "hits", "misses", "longest_streak", "keys_per_second",
    "play_ms", "median_gap_ms", "p90_gap_ms",
};

QString number(const std::optional<int>& value)
{
    return value ? QString::number(*value) : QString();
}

// Every field is a number, a date or one of our own words: none needs quoting.
void writeLine(QIODevice& out, const QStringList& fields)
{
    out.write((fields.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8());
}

void writeGame(QIODevice& out, const GameRecord& game)
{
    const QStringList gameFields = {QString::number(game.id), game.startedAt.toString(Qt::ISODate),
                                    modeName(game.mode), QString::number(game.total), outcomeName(game.outcome),
                                    QString::number(game.lastStage), game.rank ? rankName(*game.rank) : QString(),
                                    number(gameMedianGapMs(game))};
    for (const StageRecord& stage : game.stages) {
        const StageFigures f = stageFigures(stage);
        QStringList fields = gameFields;
        fields << QString::number(stage.stage) << QString::number(stage.score) << QString::number(stage.quota)
               << verdictName(stage.verdict) << QString::number(f.hits) << QString::number(f.misses)
               << QString::number(f.longestStreak) << QString::number(f.keysPerSecond, 'f', 2)
               << QString::number(stage.playMs) << number(f.medianGapMs) << number(f.p90GapMs);
        for (int n : f.hitsPerSecond)
            fields << QString::number(n);
        writeLine(out, fields);
    }
}
}  // namespace

QStringList historyCsvColumns()
{
    QStringList columns;
    for (const char* c : kColumns)
        columns << QString::fromLatin1(c);
    for (int s = 1; s <= kStageSeconds; ++s)
        columns << QStringLiteral("hits_s%1").arg(s, 2, 10, QLatin1Char('0'));
    return columns;
}

bool exportHistoryCsv(const QString& dbPath, QIODevice& out, QString& message)
{
    writeLine(out, historyCsvColumns());
    const QFileInfo file(dbPath);
    if (!file.exists() && !file.isSymLink())
        return true;  // nothing played yet

    HistoryDatabase db(dbPath);
    // Checked whole first: damage found halfway would cut the rows short.
    const bool read = db.open() && forEachGame(db, GameFilter{}, [&](const GameRecord& g) { writeGame(out, g); });
    message = historyNotice(db);
    // A damaged file is kept aside: the new one holds nothing to export.
    return read && db.problem() != HistoryProblem::SetAside;
}

int runHistoryExport(const QString& dbPath, const QString& target)
{
    return writeCsvTo(target,
                      [&](QIODevice& out, QString& message) { return exportHistoryCsv(dbPath, out, message); });
}
