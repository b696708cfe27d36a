#include "stage/high_scores.h"

#include "platform/msgbox.h"
#include "state/datafiles.h"
#include "state/module1.h"

void saveHighScores()
{
    const QString reason = writeScoreFile(Module1.HighScores);
    if (reason.isEmpty())
        return;
    MessageRequest request;
    request.text = QStringLiteral("スコアファイル %1 に書き込めませんでした。\r\n%2\r\n"
                                  "ハイスコアは保存されていませんが、ゲームは続けられます。")
                       .arg(QString::fromLatin1(kScoreFileName), reason);
    msgbox(request);
}
