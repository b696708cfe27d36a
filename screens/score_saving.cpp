#include "screens/score_saving.h"

#include "platform/msgbox.h"
#include "state/datafiles.h"
#include "state/module1.h"

namespace {

// Bests not yet in the file (another copy held it, the disk was full, the
// file could not be written), kept in memory; the player has been told.
bool heldBack = false;

void tell(const QString& text)
{
    MessageRequest request;
    request.text = text;
    msgbox(request);
}

// One save; true when the file now holds every best.
bool save(QString& failure)
{
    const ScoreSave save = saveScores(Module1.HighScores);
    // Bests another copy of the game stored meanwhile count here too.
    Module1.HighScores = save.stored;
    failure = save.failure;
    if (failure.isEmpty())
        heldBack = false;
    return failure.isEmpty();
}

}  // namespace

void saveHighScores()
{
    QString failure;
    if (save(failure))
        return;
    // Whatever stopped it, the best is kept and saved later; told once.
    if (!heldBack)
        tell(QStringLiteral("スコアファイル %1 にまだ書き込めません。\r\n%2\r\n"
                            "ハイスコアは覚えておき、次のステージの終わりと、次にハイスコアを保存するときと、"
                            "クェネルを終了するときに、もう一度保存します。")
                 .arg(QString::fromLatin1(kScoreFileName), failure));
    heldBack = true;
}

void retryHeldHighScores()
{
    QString failure;
    if (heldBack)
        save(failure);  // the player knows already; the end says so if it still fails
}

QString saveHeldHighScoresAtEnd()
{
    QString failure;
    if (!heldBack || save(failure))
        return QString();
    heldBack = false;
    return QStringLiteral("スコアファイル %1 に書き込めませんでした。\r\n%2\r\n"
                          "覚えておいたハイスコアは保存されないまま、クェネルを終了します。")
        .arg(QString::fromLatin1(kScoreFileName), failure);
}

void saveHeldHighScores()
{
    const QString text = saveHeldHighScoresAtEnd();
    if (!text.isEmpty())
        tell(text);
}
