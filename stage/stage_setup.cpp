// Stage set-up: resets the stage, draws the first six keys and prepares the
// play screen and the announcer's opening lines.
#include "stage/stage_setup.h"

#include "play/commentary.h"
#include "play/stage_run.h"
#include "screens/forms.h"
#include "stage/results.h"
#include "state/module1.h"

void resetStage()
{
    Module1.CommentCount = 3;
    // Every phrase may be spoken again in the new stage.
    refillPhraseDeck();
    StageRun(Module1).setUp();
}

std::array<QString, 4> stageReadyLines(int stage)
{
    const GameState& m = Module1;
    return {QString::fromUtf8("さあ、いよいよ始まる") + m.StageTitle[stage] + QString::fromUtf8(" Stage！"),
            QString::fromUtf8("クリアノルマは") + timesTen(m.StageQuota[stage]) + QString::fromUtf8("点、制限時間は") +
                QString::number(m.StageTimeLimit[stage] * kSecondsPerTen) + QString::fromUtf8("秒。"),
            QString::fromUtf8("実況中継は、私、波木 音吉が務めさせて頂きます！"),
            QString::fromUtf8("準備完了、『テンキーの０』を押せば、ゲームスタートです。")};
}

void drawFirstStageAhead()
{
    // The font's glyphs are made on their first use. The announcer's
    // opening words are the first text of their size the player sees, and
    // making theirs would hold up the first play screen by milliseconds:
    // they are drawn once here, on the screen as it stands, and put back.
    const std::array<QString, 4> lines = stageReadyLines(1);
    const QString crlf = QStringLiteral("\r\n");
    const QString before = form3->Label8->caption();
    form3->Label8->setCaption(lines[0] + crlf + lines[1] + crlf + lines[2] + crlf + lines[3]);
    form3->grab(form3->Label8->geometry());
    form3->Label8->setCaption(before);
}

void StageResults::n_stage()
{
    GameState& m = Module1;
    m.Stage = m.Stage + 1;
    resetStage();

    m.CommentLines = stageReadyLines(m.Stage);

    form3->showStageReady(commentaryBox());
    form6->startLog(commentaryBox() + QStringLiteral("\r\n"));
}
