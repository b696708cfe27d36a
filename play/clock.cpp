// The count-down and the stage clock.
#include "history/history_reader.h"
#include "history/recorder.h"
#include "platform/sound.h"
#include "play/stage_play.h"
#include "screens/forms.h"
#include "state/module1.h"

#include <QTimer>

void StagePlay::start()
{
    // The count-down is heard in full; the program handles no event meanwhile,
    // so keys pressed during it are judged as play once it ends.
    s_play(Sound::SoundThree, true);
    s_play(Sound::SoundTwo, true);
    s_play(Sound::SoundOne, true);
    loadPace();
    announce(QString::fromUtf8("さあ、スタートです！ 良い結果を期待しましょう！"));
    StageRun(Module1).start();
    w_.Timer1->start();
    gameHistory().clockStarted();
}

void StagePlay::Timer1_Timer()
{
    const ClockTick tick = StageRun(Module1).tick();
    w_.placeMarker(tick.elapsed);
    if (tick.timeUp) {
        timeup();
        return;
    }
    showPace(kStageSeconds - tick.remaining);
    announceTime(tick.remaining);
}

void StagePlay::loadPace()
{
    const GameState& m = Module1;
    pace_.reset();
    const int best = m.HighScores[m.ScoreSlotBase + m.Stage];
    if (!paceShown() || m.Practice == 1 || best <= 0)
        return;
    const GameMode mode = m.ScoreSlotBase == kHardSlotBase ? GameMode::Hard : GameMode::Normal;
    HistoryDatabase& db = gameHistory().database();
    if (const std::optional<StageRecord> run = stageRunWithScore(db, mode, m.Stage, best * kScoreUnit))
        pace_.emplace(*run, m.StageGaugeStep[m.Stage]);
    gameHistory().noteProblem(db);
}

void StagePlay::showPace(int ticks)
{
    if (!pace_)
        return;
    const int difference = Module1.StageScore - pace_->bestAfter(ticks);
    w_.LabelPace->setForeColor(paceColor(difference));
    w_.LabelPace->setCaption(paceText(difference));
    w_.LabelPace->show();
}

void StagePlay::timeup()
{
    stopPlay({"あーっ！ ここでターイムアーップ！ 時間終了です！",
              "さあ、『テンキーの０』を押して記録を確認しましょう！"});
}
