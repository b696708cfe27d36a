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

void setUpPractice(const PracticeDrill& drill)
{
    GameState& m = Module1;
    // An unreadable history leaves no figures: every digit comes alike.
    HistoryDatabase& db = gameHistory().database();
    stagePlay->setPracticeFiguresBefore(practiceFigures(db).value_or(KeypadInsight{}));
    gameHistory().noteProblem(db);

    m.Practice = 1;
    const std::vector<double> weak = practiceWeights(stagePlay->practiceFiguresBefore());
    const bool chosen = drill.kind == DrillKind::ChosenDigit && drill.digit >= 1 && drill.digit <= kKeypadDigits;
    m.DigitWeights = chosen ? chosenDigitWeights(weak, drill.digit) : weak;
    m.DigitWeightsAfter.clear();
    if (drill.kind == DrillKind::SlowMoves)
        m.DigitWeightsAfter = slowMoveWeights(weak, drill.moves);
    m.Stage = kPracticeRulesStage;
    resetStage();

    const QString seconds = QString::number(m.StageTimeLimit[m.Stage] * kSecondsPerTen);
    if (chosen) {
        m.CommentLines[0] = QString::fromUtf8("さあ、%1 の特訓の始まりです！").arg(drill.digit);
        m.CommentLines[1] = QString::fromUtf8("%1 が半分を占めます。制限時間は").arg(drill.digit) + seconds +
                            QString::fromUtf8("秒。");
    } else if (!m.DigitWeightsAfter.empty()) {
        m.CommentLines[0] = QString::fromUtf8("さあ、指運び特訓の始まりです！");
        m.CommentLines[1] = QString::fromUtf8("遅い指運びが続けて出ます。制限時間は") + seconds +
                            QString::fromUtf8("秒。");
    } else {
        m.CommentLines[0] = QString::fromUtf8("さあ、苦手特訓の始まりです！");
        m.CommentLines[1] = QString::fromUtf8("苦手な数字ほど多く出ます。制限時間は") + seconds +
                            QString::fromUtf8("秒。");
    }
    m.CommentLines[2] = QString::fromUtf8("実況中継は、私、波木 音吉が務めさせて頂きます！");
    m.CommentLines[3] = QString::fromUtf8("準備完了、『テンキーの０』を押せば、練習スタートです。");

    form3->showStageReady(commentaryBox());
    form6->startLog(commentaryBox() + QStringLiteral("\r\n"));
}
