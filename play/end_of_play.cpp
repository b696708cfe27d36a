// Giving up, and the verdict after time-up or give-up.
#include "history/practice_report.h"
#include "history/recorder.h"
#include "platform/sound.h"
#include "play/stage_play.h"
#include "screens/forms.h"
#include "screens/score_saving.h"
#include "screens/history_notices.h"
#include "screens/practice_result.h"
#include "state/module1.h"

#include <QTimer>

void StagePlay::stopPlay(std::initializer_list<const char*> lastWords)
{
    for (const char* line : lastWords)
        announce(QString::fromUtf8(line));
    s_play(Sound::SoundTimeUp, false);
    w_.Timer1->stop();
    w_.Label12->setVisible(true);
    recordStageEnd();
}

void StagePlay::recordStageEnd()
{
    const GameState& m = Module1;
    const StageRun run(Module1);
    gameHistory().stageEnded(m.Stage, m.StageScore, run.quota(), m.GameScore, run.verdict());
}

void StagePlay::giveup()
{
    StageRun(Module1).giveUp();
    stopPlay({"あーっ！ なんとここでギブアップ！",
              "いったい選手に何が起こってしまったというのでしょうか！",
              "ここは一旦『テンキーの０』を押して、最終確認を致しましょう。"});
}

void StagePlay::gameend()
{
    const StageResult result = StageRun(Module1).finish();
    if (Module1.Practice == 1) {
        showPracticeResult();
        return;
    }
    if (result.bestBeaten)
        saveHighScores();
    else
        retryHeldHighScores();  // a best kept from an earlier failed save
    s_play(result.quotaMet ? Sound::SoundClear : Sound::SoundGameOver, false);
    if (result.verdict == StageVerdict::GiveUp)
        s_play(Sound::SoundGameOver, false);
    form4->showResult(result);
    form4->show();
    w_.hide();
    w_.Label12->setVisible(false);
    // A problem with the history file is told now that play is over.
    showHistoryNotices();
}

void StagePlay::showPracticeResult()
{
    // No best is judged and no score file written: the stage was practice.
    s_play(Module1.Result.verdict == StageVerdict::GiveUp ? Sound::SoundGameOver : Sound::SoundClear, false);
    const GameRecord* run = gameHistory().currentGame();
    practiceResultWindow->setReport(practiceReport(run ? *run : GameRecord{}, figuresBefore_));
    practiceResultWindow->show();
    w_.hide();
    w_.Label12->setVisible(false);
    showHistoryNotices();
}
