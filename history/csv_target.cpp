#include "history/csv_target.h"

#include "platform/system_reasons.h"

#include <QFile>
#include <QSaveFile>
#include <cstdio>

namespace {
void printError(const QString& message)
{
    std::fprintf(stderr, "%s\n", message.toUtf8().constData());
}
}  // namespace

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
