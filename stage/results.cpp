// The results screen between stages: on to the next stage, to the final
// result, back to the title after a lost game, or into the commentary log.
#include "stage/results.h"

#include "platform/keys.h"
#include "platform/sound.h"
#include "play/stage_run.h"
#include "screens/closing.h"
#include "screens/forms.h"
#include "screens/high_scores.h"
#include "state/module1.h"

#include <memory>

StageResults* stageResults = nullptr;

void wireResultsScreen(Form4& window)
{
    static std::unique_ptr<StageResults> results;
    results = std::make_unique<StageResults>(window);
    stageResults = results.get();
}

StageResults::StageResults(Form4& window) : w_(window)
{
    w_.onKeyDown = [this](int KeyCode, int Shift) { Form_KeyDown(KeyCode, Shift); };
}

void StageResults::Form_KeyDown(int KeyCode, int /*Shift*/)
{
    switch (KeyCode) {
    case vk::Escape:
        quitByKey();
        break;
    case vk::Numpad4: nextstage(); break;
    case vk::Numpad6: jikkyo(); break;
    default: break;
    }
}

void StageResults::nextstage()
{
    GameState& m = Module1;
    const StageResult& result = m.Result;
    if (!result.gameEnd) {
        n_stage();
        s_play(Sound::SoundPowah, false);
        form3->show();
    } else if (*result.gameEnd == GameOutcome::Cleared) {
        if (StageRun(m).keepGameBest())
            saveHighScores();
        s_play(Sound::SoundAllClear, false);
        form5->showFinal(m.GameScore, m.HighScores[m.ScoreSlotBase], result.rank.value_or(0));
        form5->show();
    } else {
        s_play(Sound::SoundPowah, false);
        form1->show();
    }
    w_.hide();
}

void StageResults::jikkyo()
{
    form6->openLog();
    s_play(Sound::SoundPowah, false);
    switchScreen(&w_, form6);
}
