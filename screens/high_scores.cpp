#include "screens/high_scores.h"

#include "platform/msgbox.h"
#include "state/datafiles.h"
#include "state/module1.h"

namespace {

// Bests that another copy kept from the file, so far only in memory; the
// player has been told.
bool heldBack = false;

void tell(const QString& text)
{
    MessageRequest request;
    request.text = text;
    msgbox(request);
}

}  // namespace

void saveHighScores()
{
    const ScoreSave save = saveScores(Module1.HighScores);
    // Bests another copy of the game stored meanwhile count here too.
    Module1.HighScores = save.stored;
    const QString file = QString::fromLatin1(kScoreFileName);
    if (save.busy) {
        if (!heldBack)
            tell(QStringLiteral("スコアファイル %1 にまだ書き込めません。\r\n%2\r\n"
                                "ハイスコアは覚えておき、次にハイスコアを保存するときと、クェネルを終了するときに、もう一度保存します。")
                     .arg(file, save.failure));
        heldBack = true;
        return;
    }
    heldBack = false;
    if (save.failure.isEmpty())
        return;
    tell(QStringLiteral("スコアファイル %1 に書き込めませんでした。\r\n%2\r\n"
                        "ハイスコアは保存されていませんが、ゲームは続けられます。")
             .arg(file, save.failure));
}

void saveHeldHighScores()
{
    if (!heldBack)
        return;
    const ScoreSave save = saveScores(Module1.HighScores);
    Module1.HighScores = save.stored;
    heldBack = false;
    if (save.failure.isEmpty())
        return;
    tell(QStringLiteral("スコアファイル %1 に書き込めませんでした。\r\n%2\r\n"
                        "覚えておいたハイスコアは保存されないまま、クェネルを終了します。")
             .arg(QString::fromLatin1(kScoreFileName), save.failure));
}
