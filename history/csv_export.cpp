// The history written out as CSV.
#include "history/csv_export.h"

#include "history/history_database.h"
#include "history/recorder.h"
#include "platform/system_reasons.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <cstdio>

namespace {
const char* const kColumns[] = {
    "game", "started_at", "mode", "game_total", "outcome", "last_stage", "rank", "game_median_gap_ms",
    "stage", "score", "quota", "verdict", "hits", "misses", "longest_streak", "keys_per_second",
    "play_ms", "median_gap_ms", "p90_gap_ms",
};

// RFC 4180: a field with a comma, a quote or a line break is quoted.
QString csvField(const QString& text)
{
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

void writeLine(QIODevice& out, const QStringList& fields)
{
    QStringList escaped;
    for (const QString& f : fields)
        escaped << csvField(f);
    out.write((escaped.join(QLatin1Char(',')) + QLatin1Char('\n')).toUtf8());
}

QString text(const QVariant& v)
{
    return v.isNull() ? QString() : v.toString();
}

void printError(const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
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
    if (!QFileInfo::exists(dbPath))
        return true;  // nothing played yet

    HistoryDatabase db(dbPath);
    const QString fileName = QFileInfo(dbPath).fileName();
    auto report = [&] {
        message = historyNoticeText(db.problem(), fileName, db.problemDetail(),
                                    QFileInfo(db.keptAsidePath()).fileName());
    };
    if (!db.open()) {
        report();
        return false;
    }
    if (db.problem() == HistoryProblem::KeptAside) {
        report();  // the damaged file is kept; the new one holds nothing yet
        return false;
    }
    QSqlError error;
    {
        QSqlQuery q(db.connection());
        q.setForwardOnly(true);
        const bool ok = q.exec(QStringLiteral(
            "SELECT g.id, g.started_at, g.mode, g.total, g.outcome, g.last_stage, g.rank, g.median_gap_ms,"
            " s.stage, s.score, s.quota, s.verdict, s.hits, s.misses, s.longest_streak, s.keys_per_second,"
            " s.play_ms, s.median_gap_ms, s.p90_gap_ms, s.hits_per_second"
            " FROM stages s JOIN games g ON g.id = s.game_id ORDER BY g.id, s.stage"));
        if (ok) {
            constexpr int kSecondsColumn = 19;
            while (q.next()) {
                QStringList fields;
                for (int c = 0; c < kSecondsColumn; ++c) {
                    if (c == 15)
                        fields << QString::number(q.value(c).toDouble(), 'f', 2);
                    else
                        fields << text(q.value(c));
                }
                for (int n : splitSeconds(q.value(kSecondsColumn).toString()))
                    fields << QString::number(n);
                writeLine(out, fields);
            }
        } else {
            error = q.lastError();
        }
    }
    if (error.isValid()) {
        db.noteFailure(error);
        report();
        return false;
    }
    if (db.problem() == HistoryProblem::NewerSchema)
        report();
    return true;
}

int runHistoryExport(const QString& dbPath, const QString& target)
{
    QString message;
    bool ok = false;
    if (target == QLatin1String("-")) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly)) {
            printError(QString::fromUtf8("標準出力に書き込めません。"));
            return 1;
        }
        ok = exportHistoryCsv(dbPath, out, message);
        out.flush();
    } else {
        QSaveFile out(target);
        if (!out.open(QIODevice::WriteOnly)) {
            printError(QString::fromUtf8("書き出し先「%1」を開けません（%2）。").arg(target, fileReason(out)));
            return 1;
        }
        ok = exportHistoryCsv(dbPath, out, message);
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
