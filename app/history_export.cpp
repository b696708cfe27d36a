#include "app/history_export.h"

#include "history/entry_figures.h"
#include "history/history_reader.h"
#include "history/stage_figures.h"
#include "platform/system_reasons.h"
#include "screens/history_notices.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <functional>

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
QByteArray line(const QStringList& fields)
{
    return (fields.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8();
}

QByteArray stageLines(const GameRecord& game)
{
    const QStringList gameFields = {QString::number(game.id), game.startedAt.toString(Qt::ISODate),
                                    modeName(game.mode), QString::number(game.total), outcomeName(game.outcome),
                                    QString::number(game.lastStage), game.rank ? rankName(*game.rank) : QString(),
                                    number(gameMedianGapMs(game))};
    QByteArray lines;
    for (const StageRecord& stage : game.stages) {
        StageFigures f = stageFigures(stage);
        if (game.mode == GameMode::Entry) {
            // A test counts whole entries, not keys.
            const EntryFigures entry = entryFigures(stage);
            f.hits = entry.correct;
            f.misses = entry.entries - entry.correct;
        }
        QStringList fields = gameFields;
        fields << QString::number(stage.stage) << QString::number(stage.score) << QString::number(stage.quota)
               << verdictName(stage.verdict) << QString::number(f.hits) << QString::number(f.misses)
               << QString::number(f.longestStreak) << QString::number(f.keysPerSecond, 'f', 2)
               << QString::number(stage.playMs) << number(f.medianGapMs) << number(f.p90GapMs);
        for (int n : f.hitsPerSecond)
            fields << QString::number(n);
        lines += line(fields);
    }
    return lines;
}

QByteArray keyLines(const GameRecord& game)
{
    const QByteArray gameFields = QByteArray::number(game.id) + ',';
    const QByteArray mode = ',' + modeName(game.mode).toUtf8() + ',';
    // A test's keys by name (0-9, ".", "enter", "back"), a stage's by digit.
    const bool entry = game.mode == GameMode::Entry;
    auto keyName = [entry](int code) { return entry ? entryKeyName(code).toUtf8() : QByteArray::number(code); };
    QByteArray lines;
    for (const StageRecord& stage : game.stages) {
        for (const KeyStroke& key : stage.keys) {
            lines += gameFields + QByteArray::number(stage.stage) + mode + QByteArray::number(key.ms) + ',' +
                     keyName(key.digit) + ',' + keyName(key.target) + ',' +
                     (key.hit ? '1' : '0') + '\n';
        }
    }
    return lines;
}

// The header, then the lines of each game, oldest first.
bool exportGames(const QString& dbPath, const QByteArray& header,
                 const std::function<QByteArray(const GameRecord&)>& lines, QIODevice& out, QString& message)
{
    out.write(header);
    const QFileInfo file(dbPath);
    if (!file.exists() && !file.isSymLink())
        return true;  // nothing played yet

    HistoryDatabase db(dbPath);
    // Checked whole first: damage found halfway would cut the rows short.
    const bool read = db.open() && forEachGame(db, GameFilter{std::nullopt, 0, true}, [&](const GameRecord& g) { out.write(lines(g)); });
    message = historyNotice(db);
    // A damaged file is set aside: the new one holds nothing to export.
    return read && db.problem() != HistoryProblem::SetAside;
}

void printError(const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
}

int writeCsvTo(const QString& target, const std::function<bool(QIODevice& out, QString& message)>& write)
{
    QString message;
    bool ok = false;
    if (target == QLatin1String("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly)) {
            printError(QString::fromUtf8("標準出力に書き込めません。"));
            return 1;
        }
        ok = write(out, message);
        out.flush();
    } else {
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly)) {
            printError(QString::fromUtf8("書き出し先「%1」を開けません（%2）。").arg(target, fileReason(out)));
            return 1;
        }
        ok = write(out, message);
        // Written whole or not at all; a failed read leaves the target alone.
        if (ok && !out.commit()) {
            printError(QString::fromUtf8("書き出し先「%1」に書き込めません（%2）。").arg(target, fileReason(out)));
            return 1;
        }
    }
    if (!message.isEmpty())
        printError(message);
    return ok ? 0 : 1;
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
    return exportGames(dbPath, line(historyCsvColumns()), stageLines, out, message);
}

bool exportKeysCsv(const QString& dbPath, QIODevice& out, QString& message)
{
    return exportGames(dbPath, "game,stage,mode,ms,digit,target,hit\n", keyLines, out, message);
}

int runHistoryExport(const QString& dbPath, const QString& target)
{
    return writeCsvTo(target, [&](QIODevice& out, QString& message) { return exportHistoryCsv(dbPath, out, message); });
}

int runKeysExport(const QString& dbPath, const QString& target)
{
    return writeCsvTo(target, [&](QIODevice& out, QString& message) { return exportKeysCsv(dbPath, out, message); });
}
