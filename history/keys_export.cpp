// One query streamed straight out: a long history has millions of keys.
#include "history/keys_export.h"

#include "history/csv_target.h"
#include "history/history_database.h"
#include "history/recorder.h"

#include <QFileInfo>
#include <QIODevice>
#include <QSqlQuery>
#include <QVariant>

bool exportKeysCsv(const QString& dbPath, QIODevice& out, QString& message)
{
    out.write("game,stage,mode,ms,digit,target,hit\n");
    const QFileInfo file(dbPath);
    if (!file.exists() && !file.isSymLink())
        return true;  // nothing played yet

    HistoryDatabase db(dbPath);
    auto report = [&] {
        message = historyNoticeText(db.problem(), file.fileName(), db.problemDetail(),
                                    QFileInfo(db.keptAsidePath()).fileName());
    };
    if (!db.open() || db.problem() == HistoryProblem::KeptAside) {
        report();  // a damaged file is kept aside; the new one holds nothing
        return false;
    }
    QSqlQuery q(db.connection());
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT s.game_id, s.stage, g.mode, k.ms, k.digit, k.target, k.hit"
                               " FROM keys k JOIN stages s ON s.id = k.stage_id JOIN games g ON g.id = s.game_id"
                               " ORDER BY s.game_id, s.stage, k.rowid"))) {
        const QSqlError error = q.lastError();
        q = QSqlQuery();
        db.noteFailure(error);
        report();
        return false;
    }
    QByteArray line;
    while (q.next()) {
        line.clear();
        for (int i = 0; i < 7; ++i) {
            if (i > 0)
                line += ',';
            line += i == 2 ? q.value(i).toString().toUtf8() : QByteArray::number(q.value(i).toLongLong());
        }
        line += '\n';
        out.write(line);
    }
    return true;
}

int runKeysExport(const QString& dbPath, const QString& target)
{
    return writeCsvTo(target, [&](QIODevice& out, QString& message) { return exportKeysCsv(dbPath, out, message); });
}
