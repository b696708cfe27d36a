// The announcer: every line goes to the four-line box and to the stage's log.
#include "play/commentary.h"

#include "platform/system.h"
#include "play/stage_play.h"
#include "screens/forms.h"
#include "state/module1.h"

void refillPhraseDeck()
{
    Module1.PhraseCount = Module1.PhraseTotal;
    Module1.PhraseDeck.assign(Module1.PhraseList.begin(), Module1.PhraseList.end());
}

QString commentaryBox()
{
    const auto& lines = Module1.CommentLines;
    const QString crlf = QStringLiteral("\r\n");
    return lines[0] + crlf + lines[1] + crlf + lines[2] + crlf + lines[3];
}

void StagePlay::jikkyo()
{
    GameState& m = Module1;
    const QString crlf = QStringLiteral("\r\n");
    m.CommentCount = m.CommentCount + 1;
    Label* log = form6->Label1(0);
    log->setCaption(log->caption() + m.CommentText + crlf);
    m.CommentLines[0] = m.CommentLines[1];
    m.CommentLines[1] = m.CommentLines[2];
    m.CommentLines[2] = m.CommentLines[3];
    m.CommentLines[3] = m.CommentText;
    w_.Label8->setCaption(commentaryBox());
}

void StagePlay::announce(const QString& text)
{
    Module1.CommentText = text;
    jikkyo();
}

void StagePlay::randomPhrase()
{
    GameState& m = Module1;
    if (m.PhraseCount <= 0) {
        // A data file with fewer phrases than a stage draws: start the deck again.
        refillPhraseDeck();
        if (m.PhraseCount <= 0)
            return;  // no phrases at all: the announcer keeps quiet this second
    }
    int i = static_cast<int>(m.PhraseCount * rnd()) + 1;
    if (i > m.PhraseCount)
        i = m.PhraseCount;
    m.CommentText = m.PhraseDeck[i];
    // Close the gap, keeping the order of the rest.
    for (int k = i; k <= m.PhraseCount - 1; ++k)
        m.PhraseDeck[k] = m.PhraseDeck[k + 1];
    m.PhraseCount = m.PhraseCount - 1;
    jikkyo();
}

void StagePlay::announceTime(int r)
{
    const GameState& m = Module1;
    const int s = m.StageScore;
    const int limit = m.StageTimeLimit[m.Stage];
    // The score of a steady pace that just meets the quota, after ten seconds.
    const int P = limit > 0 ? m.StageQuota[m.Stage] / limit : m.StageQuota[m.Stage];
    switch (r) {
    case 28:
        if (s < 50)
            announce(QString::fromUtf8("どうした？ 出遅れてしまったのか！？"));
        else if (s < 100)
            announce(QString::fromUtf8("スタートはまあまあと言ったところでしょうか。"));
        else if (s < 200)
            announce(QString::fromUtf8("スタートは良い感じです。しかし、まだまだ先は長い！"));
        else
            announce(QString::fromUtf8("ロケットのようなスタート！ 一気に勝負を決めてしまうのか！？"));
        break;
    case 20:
        if (s < P - 300)
            announce(QString::fromUtf8("残り20秒！ かなり遅れている！ これは危険か！？"));
        else if (s < P - 100)
            announce(QString::fromUtf8("残り20秒！ 少しペースを上げたいところ！"));
        else if (s <= P)
            announce(QString::fromUtf8("残り20秒！ まだまだこれからです。"));
        else if (s <= P + 200)
            announce(QString::fromUtf8("残り20秒！ 順調なペースです！"));
        else
            announce(QString::fromUtf8("残り20秒！ 速い！ 速い！ 速すぎるぅっ！"));
        break;
    case 15: announce(QString::fromUtf8("残り15秒！ 後半戦に折り返しました！")); break;
    case 10: announce(QString::fromUtf8("残り10秒！ さあ、一気に攻めていきたい！")); break;
    case 5:
        if (!quotaMet(s, StageRun(Module1).quota()))
            announce(QString::fromUtf8("残り5秒！ しかし、まだノルマには達していない！"));
        else
            announce(QString::fromUtf8("残り5秒！ どこまで記録を伸ばせるのか！"));
        break;
    case 4: announce(QString::fromUtf8("さあ、ここからは時間との勝負です！")); break;
    case 3: announce(QString::fromUtf8("残り3秒を切ったぁぁぁぁぁぁっ！")); break;
    case 2: break;  // the announcer draws breath
    case 1: announce(QString::fromUtf8("終了寸前！ 打て！ 打て！ 打ちまくれ！")); break;
    default: randomPhrase(); break;
    }
}
