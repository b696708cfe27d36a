#include "app/end_signals.h"

#include "platform/system.h"
#include "screens/score_saving.h"
#include "screens/history_notices.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {
// The signal handler's only way to the event loop: one byte per signal.
int g_signalPipe[2] = {-1, -1};
bool g_endingOnExit = false;

void onSignal(int signal)
{
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signal);
    (void)!::write(g_signalPipe[1], &byte, 1);
    errno = saved;
}

void printTo(const QString& text)
{
    if (text.isEmpty())
        return;
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    std::fprintf(stderr, "quennel: %s\n", line.toUtf8().constData());
}

void endAtExit()
{
    if (!g_endingOnExit)
        return;
    g_endingOnExit = false;
    // Qt SQL belongs to the main thread; exit() from any other leaves the
    // file as the last committed save left it.
    const QCoreApplication* app = QCoreApplication::instance();
    if (app && QThread::currentThread() == app->thread())
        endGameNow(1);
}
}  // namespace

void endGameNow(int exitCode)
{
    printTo(saveHeldHighScoresAtEnd());
    printTo(finishHistoryAtEnd());
    endProgram(exitCode);
}

void endGameOnSignals(QObject* owner)
{
    if (g_signalPipe[0] < 0 && ::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, owner);
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier] {
        unsigned char signal = 0;
        if (::read(g_signalPipe[0], &signal, 1) != 1)
            return;
        notifier->setEnabled(false);  // one ending at a time
        endGameNow(128 + signal);
        notifier->setEnabled(true);
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT})
        ::sigaction(signal, &action, nullptr);
}

void endGameOnLostDisplay()
{
    // Handlers registered with atexit run before the destructors of the
    // statics made earlier. Qt SQL makes its own as they are first needed
    // (the driver, the connections, an empty query's parts): a connection
    // and a query used here make them all now, so they still stand while
    // the held stages are written.
    static bool registered = false;
    g_endingOnExit = true;
    if (registered)
        return;
    const QString name = QStringLiteral("quennel-exit-order");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(QStringLiteral(":memory:"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT 1")) && q.next())
                q.value(0);
            q.lastError();
        }
        QSqlQuery empty;
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    registered = std::atexit(endAtExit) == 0;
}
