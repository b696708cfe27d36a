#include "app/history_export.h"

#include "app/export_target.h"

#include "history/entry_figures.h"
#include "history/history_reader.h"
#include "history/stage_figures.h"
#include "platform/error_words.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>
#include <functional>
#include <unistd.h>

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

// Every byte reaches out, or the export has failed.
bool writeAll(QIODevice& out, const QByteArray& bytes)
{
    return out.write(bytes) == bytes.size();
}

// The header, then the lines of each game, oldest first. The history is only
// read: the game folder is left exactly as it was.
bool exportGames(const QString& dbPath, const QByteArray& header,
                 const std::function<QByteArray(const GameRecord&)>& lines, QIODevice& out, QString& message)
{
    if (!writeAll(out, header))
        return false;  // message left empty: the target failed
    const QFileInfo file(dbPath);
    if (!file.exists() && !file.isSymLink())
        return true;  // nothing played yet

    HistoryDatabase db(dbPath);
    db.setReadOnly();
    // Checked whole first: damage found halfway would cut the rows short.
    bool written = true;
    // 数字入力 tests included: the export is of everything played.
    const bool read = db.open() && forEachGame(db, GameFilter{std::nullopt, 0, true}, [&](const GameRecord& g) {
        written = written && writeAll(out, lines(g));
    });
    if (!written)
        return false;
    if (!read) {
        message = QString::fromUtf8("プレイ記録ファイル「%1」を読めないため（%2）、書き出しませんでした。")
                      .arg(file.fileName(), db.reason());
    }
    return read;
}

void printError(const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
}

QString cannotWrite(const QString& target, const QFileDevice& out)
{
    return QString::fromUtf8("書き出し先「%1」に書き込めません（%2）。").arg(target, fileReason(out));
}

// Standard output, a pipe or a character device: written straight through,
// so that a full or closed one fails the write that meets it.
int writeStream(QFile& out, const QString& name, const std::function<bool(QIODevice&, QString&)>& write)
{
    QString message;
    const bool ok = write(out, message);
    if (!ok && message.isEmpty()) {
        printError(cannotWrite(name, out));
        return 1;
    }
    if (!message.isEmpty())
        printError(message);
    return ok ? 0 : 1;
}

int writeCsvTo(const QString& dbPath, const QString& target,
               const std::function<bool(QIODevice& out, QString& message)>& write)
{
    if (target == QLatin1String("-")) {
        QFile out;
        if (!out.open(STDOUT_FILENO, QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            printError(QString::fromUtf8("標準出力に書き込めません。"));
            return 1;
        }
        return writeStream(out, QString::fromUtf8("標準出力"), write);
    }
    const ExportTarget kind = exportTarget(target, QFileInfo(dbPath).absolutePath());
    if (kind.kind == ExportTarget::Kind::Refused) {
        printError(QString::fromUtf8("書き出し先「%1」には書き出せません（%2）。").arg(target, kind.reason));
        return 1;
    }
    if (kind.kind == ExportTarget::Kind::Stream) {
        QFile out(target);
        if (!out.open(QIODevice::WriteOnly | QIODevice::ExistingOnly | QIODevice::Unbuffered)) {
            printError(QString::fromUtf8("書き出し先「%1」を開けません（%2）。").arg(target, fileReason(out)));
            return 1;
        }
        return writeStream(out, target, write);
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        printError(QString::fromUtf8("書き出し先「%1」を開けません（%2）。").arg(target, fileReason(out)));
        return 1;
    }
    QString message;
    const bool ok = write(out, message);
    // Written whole or not at all; a failed read leaves the target alone.
    if (!ok) {
        out.cancelWriting();
        printError(message.isEmpty() ? cannotWrite(target, out) : message);
        return 1;
    }
    if (!out.commit()) {
        printError(cannotWrite(target, out));
        return 1;
    }
    return 0;
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
    return writeCsvTo(dbPath, target, [&](QIODevice& out, QString& message) { return exportHistoryCsv(dbPath, out, message); });
}

int runKeysExport(const QString& dbPath, const QString& target)
{
    return writeCsvTo(dbPath, target, [&](QIODevice& out, QString& message) { return exportKeysCsv(dbPath, out, message); });
}
