// The keys as the reader gives them back, game by game.
#include "history/keys_export.h"

#include "history/csv_target.h"
#include "history/history_reader.h"

#include <QFileInfo>
#include <QIODevice>

bool exportKeysCsv(const QString& dbPath, QIODevice& out, QString& message)
{
    out.write("game,stage,mode,ms,digit,target,hit\n");
    const QFileInfo file(dbPath);
    if (!file.exists() && !file.isSymLink())
        return true;  // nothing played yet

    HistoryDatabase db(dbPath);
    QByteArray lines;
    // Checked whole first: damage found halfway would cut the rows short.
    const bool read = db.open() && forEachGame(db, GameFilter{}, [&](const GameRecord& game) {
        const QByteArray gameFields = QByteArray::number(game.id) + ',';
        const QByteArray mode = ',' + modeName(game.mode).toUtf8() + ',';
        lines.clear();
        for (const StageRecord& stage : game.stages) {
            for (const KeyStroke& key : stage.keys) {
                lines += gameFields + QByteArray::number(stage.stage) + mode + QByteArray::number(key.ms) + ',' +
                         QByteArray::number(key.digit) + ',' + QByteArray::number(key.target) + ',' +
                         (key.hit ? '1' : '0') + '\n';
            }
        }
        out.write(lines);
    });
    message = historyNotice(db);
    // A damaged file is set aside: the new one holds nothing to export.
    return read && db.problem() != HistoryProblem::SetAside;
}

int runKeysExport(const QString& dbPath, const QString& target)
{
    return writeCsvTo(target, [&](QIODevice& out, QString& message) { return exportKeysCsv(dbPath, out, message); });
}
