// The count-down and the stage clock.
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
    announceTime(tick.remaining);
}

void StagePlay::timeup()
{
    stopPlay({"あーっ！ ここでターイムアーップ！ 時間終了です！",
              "さあ、『テンキーの０』を押して記録を確認しましょう！"});
}
