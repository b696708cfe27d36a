// Setting up a practice stage from the player's latest games.
#include "stage/practice_setup.h"

#include "history/history_reader.h"
#include "history/practice_report.h"
#include "history/recorder.h"
#include "play/commentary.h"
#include "play/stage_play.h"
#include "screens/forms.h"
#include "stage/stage_setup.h"
#include "state/module1.h"

void setUpPractice()
{
    GameState& m = Module1;
    // An unreadable history leaves no figures: every digit comes alike.
    HistoryDatabase& db = gameHistory().database();
    stagePlay->setPracticeFiguresBefore(practiceFigures(db).value_or(KeypadInsight{}));
    gameHistory().noteProblem(db);

    m.Practice = 1;
    m.DigitWeights = practiceWeights(stagePlay->practiceFiguresBefore());
    m.Stage = kPracticeRulesStage;
    resetStage();

    m.CommentLines[0] = QString::fromUtf8("さあ、苦手特訓の始まりです！");
    m.CommentLines[1] = QString::fromUtf8("苦手な数字ほど多く出ます。制限時間は") +
                        QString::number(m.StageTimeLimit[m.Stage] * kSecondsPerTen) + QString::fromUtf8("秒。");
    m.CommentLines[2] = QString::fromUtf8("実況中継は、私、波木 音吉が務めさせて頂きます！");
    m.CommentLines[3] = QString::fromUtf8("準備完了、『テンキーの０』を押せば、練習スタートです。");

    form3->showStageReady(commentaryBox());
    form6->startLog(commentaryBox() + QStringLiteral("\r\n"));
}
