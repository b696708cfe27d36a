// The whole-file check, begun ahead on a thread of its own.
#include "history/history_check_ahead.h"

#include <QDateTime>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <thread>

namespace {
// What the file was when the check began: a save by another copy of the
// game meanwhile changes it, and the answer is then of no use.
struct Stamp {
    qint64 size = -1;
    QDateTime modified;
    bool operator==(const Stamp&) const = default;
};

Stamp stampOf(const QString& path)
{
    const QFileInfo file(path);
    return {file.size(), file.lastModified()};
}

bool wholeFile(const QString& path)
{
    // A connection of this thread alone, which can neither create nor
    // change the file (nor roll back another program's journal).
    const QString name = QStringLiteral("quennel-history-ahead");
    bool whole = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=0"));
        if (db.open()) {
            QSqlQuery q(db);
            whole = q.exec(QStringLiteral("PRAGMA quick_check")) && q.next() &&
                    q.value(0).toString() == QLatin1String("ok");
        }
    }
    QSqlDatabase::removeDatabase(name);
    return whole;
}

struct AheadCheck {
    std::thread thread;
    QString path;
    Stamp stamp;
    bool whole = false;

    ~AheadCheck() { wait(); }
    void wait()
    {
        if (thread.joinable())
            thread.join();
    }
};

// Only the main thread starts and takes a check.
AheadCheck& ahead()
{
    static AheadCheck check;
    return check;
}
}  // namespace

void checkHistoryAhead(const QString& path)
{
    AheadCheck& check = ahead();
    check.wait();
    check.whole = false;
    if (!QFileInfo(path).isFile())
        return;
    check.path = path;
    check.stamp = stampOf(path);
    check.thread = std::thread([&check, path] { check.whole = wholeFile(path); });
}

bool historyCheckedAhead(const QString& path)
{
    AheadCheck& check = ahead();
    check.wait();
    return check.whole && check.path == path && stampOf(path) == check.stamp;
}

void endHistoryCheckAhead()
{
    ahead().wait();
}
