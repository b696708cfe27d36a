#include "stage/high_scores.h"

#include "platform/msgbox.h"
#include "state/datafiles.h"
#include "state/module1.h"

void saveHighScores()
{
    const ScoreSave save = saveScores(Module1.HighScores);
    // Bests another copy of the game stored meanwhile count here too.
    Module1.HighScores = save.stored;
    const QString reason = save.failure;
    if (reason.isEmpty())
        return;
    MessageRequest request;
    request.text = QStringLiteral("スコアファイル %1 に書き込めませんでした。\r\n%2\r\n"
                                  "ハイスコアは保存されていませんが、ゲームは続けられます。")
                       .arg(QString::fromLatin1(kScoreFileName), reason);
    msgbox(request);
}
