#include "screens/history_notices.h"

#include "history/recorder.h"
#include "platform/msgbox.h"

#include <QFileInfo>

namespace {
void show(const QString& text)
{
    MessageRequest request;
    request.text = text;
    msgbox(request);
}
}  // namespace

void showHistoryNotices()
{
    for (const QString& text : gameHistory().takeNotices())
        show(text);
}

void finishHistory()
{
    GameRecorder& history = gameHistory();
    const QString file = QFileInfo(history.database().path()).fileName();
    const int unsaved = history.finish();
    if (unsaved > 0)
        show(QString::fromUtf8("プレイ記録ファイル「%1」に書き込めないため、まだ書き込めていない%2ステージ分の"
                               "プレイ記録は残せませんでした。").arg(file).arg(unsaved));
}
