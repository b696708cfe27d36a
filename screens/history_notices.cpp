#include "screens/history_notices.h"

#include "history/recorder.h"
#include "platform/msgbox.h"

#include <QFileInfo>

namespace {
QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

void show(const QString& text)
{
    MessageRequest request;
    request.text = text;
    msgbox(request);
}
}  // namespace

QString historyNotice(const HistoryReport& report)
{
    const QString file = u8("プレイ記録ファイル「%1」").arg(QFileInfo(report.path).fileName());
    switch (report.problem) {
    case HistoryProblem::None:
        break;
    case HistoryProblem::SetAside:
        return u8("%1が%2ため、「%3」という名前でそのまま残し、新しい記録を始めました。")
            .arg(file, report.reason, QFileInfo(report.setAsidePath).fileName());
    case HistoryProblem::NotSavedYet:
        return u8("%1に書き込めないため（%2）、記録はいったん手元に残し、次のステージの終わりなどにもう一度書き込みます。")
            .arg(file, report.reason);
    case HistoryProblem::NewerFile:
        return u8("%1は新しい版のクェネルの記録（形式 %2）のため、読むだけにして、この版でのプレイは記録しません。")
            .arg(file, report.reason);
    case HistoryProblem::CannotOpen:
        return u8("%1を開けないため（%2）、開けるようになるまでプレイ記録は書き込めません。").arg(file, report.reason);
    }
    return QString();
}

void showHistoryNotices()
{
    for (const HistoryReport& report : gameHistory().takeNotices())
        show(historyNotice(report));
}

QString finishHistoryAtEnd()
{
    GameRecorder& history = gameHistory();
    const QString file = QFileInfo(history.database().path()).fileName();
    const int unsaved = history.finish();
    if (unsaved == 0)
        return QString();
    return QString::fromUtf8("プレイ記録ファイル「%1」に書き込めないため、まだ書き込めていない%2ステージ分の"
                             "プレイ記録は残せませんでした。").arg(file).arg(unsaved);
}

void finishHistory()
{
    const QString text = finishHistoryAtEnd();
    if (!text.isEmpty())
        show(text);
}
