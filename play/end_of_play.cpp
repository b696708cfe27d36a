// Giving up, and the verdict after time-up or give-up.
#include "history/practice_report.h"
#include "history/recorder.h"
#include "platform/sound.h"
#include "screens/forms.h"
#include "screens/high_scores.h"
#include "screens/history_notices.h"
#include "screens/practice_result.h"
#include "stage/practice_setup.h"
#include "stage/stage_setup.h"
#include "state/module1.h"

#include <QTimer>

void Form3::stopPlay(std::initializer_list<const char*> lastWords)
{
    Module1.PlayActive = 0;
    Module1.PlayOver = 1;
    for (const char* line : lastWords)
        announce(QString::fromUtf8(line));
    s_play(Sound::SoundTimeUp, false);
    Timer1->stop();
    Label12->setVisible(true);
    recordStageEnd();
}

void Form3::recordStageEnd()
{
    const GameState& m = Module1;
    StageVerdict verdict = StageVerdict::Clear;
    // A practice stage has no quota: played to the end, it is done.
    const int quota = m.Practice == 1 ? 0 : m.StageQuota[m.Stage];
    if (m.GaveUp == 1)
        verdict = StageVerdict::GiveUp;
    else if (m.StageScore < quota)
        verdict = StageVerdict::Failure;
    gameHistory().stageEnded(m.Stage, m.StageScore, quota, m.GameScore, verdict);
}

void Form3::giveup()
{
    Module1.GaveUp = 1;
    stopPlay({"あーっ！ なんとここでギブアップ！",
              "いったい選手に何が起こってしまったというのでしょうか！",
              "ここは一旦『テンキーの０』を押して、最終確認を致しましょう。"});
}

void Form3::gameend()
{
    GameState& m = Module1;
    if (m.Practice == 1) {
        showPracticeResult();
        return;
    }
    QString result = QStringLiteral("Clear!!");
    m.Outcome = m.Stage == kStageCount ? StageOutcome::AllClear : StageOutcome::NextStage;

    // The stage best is judged first: a beaten best is kept even when the
    // stage is then failed or given up.
    const int k = m.ScoreSlotBase + m.Stage;
    if (m.StageScore > m.HighScores[k]) {
        m.HighScores[k] = m.StageScore;
        result = QStringLiteral("HiSCORE!!");
        saveHighScores();
    } else {
        retryHeldHighScores();  // a best kept from an earlier failed save
    }
    if (m.StageScore < m.StageQuota[m.Stage]) {
        result = QStringLiteral("Failure!!");
        m.Outcome = StageOutcome::GameOver;
        s_play(Sound::SoundGameOver, false);
    } else {
        s_play(Sound::SoundClear, false);
    }
    if (m.GaveUp == 1) {
        result = QStringLiteral("GiveUp!!");
        m.Outcome = StageOutcome::GameOver;
        s_play(Sound::SoundGameOver, false);
    }
    m.GameScore = m.GameScore + m.StageScore;
    form4->showResult(result);
    form4->show();
    hide();
    Label12->setVisible(false);
    // A problem with the history file is told now that play is over.
    showHistoryNotices();
}

void Form3::showPracticeResult()
{
    // No best is judged and no score file written: the stage was practice.
    s_play(Module1.GaveUp == 1 ? Sound::SoundGameOver : Sound::SoundClear, false);
    const GameRecord* run = gameHistory().currentGame();
    practiceResultWindow->setReport(practiceReport(run ? *run : GameRecord{}, practiceFiguresBefore()));
    practiceResultWindow->show();
    hide();
    Label12->setVisible(false);
    showHistoryNotices();
}
