#include "history_folder.h"

#include "history/recorder.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <functional>

void HistoryFolder::enter()
{
    QDir(dir_.path()).removeRecursively();
    QDir().mkpath(dir_.path());
    oldCurrent_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    gameHistory().reset();
}

void HistoryFolder::leave()
{
    gameHistory().reset();
    setHistoryMonotonicClock(nullptr);
    QDir::setCurrent(oldCurrent_);
}

namespace {

// `use` given a query on the file at `path` through a connection of its own.
void probe(const QString& path, const std::function<void(QSqlQuery&)>& use)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            use(q);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
}

}  // namespace

QStringList rows(const QString& path, const QString& sql)
{
    QStringList out;
    probe(path, [&](QSqlQuery& q) {
        q.exec(QStringLiteral("PRAGMA foreign_keys = ON"));
        if (!q.exec(sql))
            return;
        while (q.next()) {
            QStringList fields;
            for (int i = 0; i < q.record().count(); ++i)
                fields << q.value(i).toString();
            out << fields.join(QLatin1Char('|'));
        }
    });
    return out;
}

QVariant scalar(const QString& path, const QString& sql)
{
    QVariant value;
    probe(path, [&](QSqlQuery& q) {
        if (q.exec(sql) && q.next())
            value = q.value(0);
    });
    return value;
}

Holder::Holder(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("holder"));
    db.setDatabaseName(path);
    held_ = db.open() && QSqlQuery(db).exec(QStringLiteral("BEGIN EXCLUSIVE"));
}

void Holder::release()
{
    if (!QSqlDatabase::contains(QStringLiteral("holder")))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(QStringLiteral("holder"), false);
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("holder"));
}

KeyStroke stroke(int ms, int digit, int target)
{
    return KeyStroke{ms, static_cast<qint8>(digit), static_cast<qint8>(target), digit == target};
}

StageRecord sweepStage(int stage, int keys, int playMs, int firstDigit)
{
    StageRecord s{stage, 100 * stage, 50, StageVerdict::Clear, playMs, {}};
    for (int i = 0; i < keys; ++i) {
        const int digit = (firstDigit - 1 + i) % 9 + 1;
        s.keys.push_back(stroke(100 + 30 * i, digit, digit));
    }
    return s;
}

GameRecord gameOf(const QDateTime& start, GameMode mode, std::vector<StageRecord> stages)
{
    GameRecord g;
    g.startedAt = start;
    g.mode = mode;
    g.outcome = GameOutcome::Lost;
    g.stages = std::move(stages);
    for (const StageRecord& s : g.stages)
        g.total += s.score;
    g.lastStage = g.stages.empty() ? 0 : g.stages.back().stage;
    return g;
}

bool saveGames(HistoryDatabase& db, std::vector<GameRecord> games)
{
    for (GameRecord& g : games) {
        size_t saved = 0;
        if (!db.saveGame(g, saved))
            return false;
    }
    return true;
}
