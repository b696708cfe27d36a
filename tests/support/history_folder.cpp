#include "history_folder.h"

#include "history/recorder.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlQuery>

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

QVariant scalar(const QString& path, const QString& sql)
{
    QVariant value;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("probe"));
        db.setDatabaseName(path);
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(sql) && q.next())
                value = q.value(0);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("probe"));
    return value;
}
