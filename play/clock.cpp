// The count-down and the stage clock.
#include "history/recorder.h"
#include "platform/sound.h"
#include "screens/forms.h"
#include "stage/stage_setup.h"
#include "state/module1.h"

#include <QTimer>

void Form3::start()
{
    // The count-down is heard in full; the program handles no event meanwhile,
    // so keys pressed during it are judged as play once it ends.
    s_play(Sound::SoundThree, true);
    s_play(Sound::SoundTwo, true);
    s_play(Sound::SoundOne, true);
    announce(QString::fromUtf8("さあ、スタートです！ 良い結果を期待しましょう！"));
    Module1.PlayActive = 1;
    Timer1->start();
    gameHistory().clockStarted();
}

void Form3::Timer1_Timer()
{
    GameState& m = Module1;
    const int remaining = m.ClockTens * kSecondsPerTen + m.ClockUnits;
    Image2->setTop(static_cast<float>((kStageSeconds - remaining) * kMarkerStep + kMarkerStart));
    // The clock never shows 0: the tick that finds one second left ends play.
    // (A clock that starts at 0 ends at its first tick instead of running on.)
    if (remaining <= 1) {
        timeup();
        return;
    }
    m.ClockUnits = m.ClockUnits - 1;
    if (m.ClockUnits == -1) {
        m.ClockTens = m.ClockTens - 1;
        m.ClockUnits = 9;
    }
    announceTime(m.ClockTens * kSecondsPerTen + m.ClockUnits);
}

void Form3::timeup()
{
    stopPlay({"あーっ！ ここでターイムアーップ！ 時間終了です！",
              "さあ、『テンキーの０』を押して記録を確認しましょう！"});
}
