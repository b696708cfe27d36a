// The results screen between stages: on to the next stage, to the final
// result, back to the title after a lost game, or into the commentary log.
#include "stage/results.h"

#include "platform/keys.h"
#include "platform/sound.h"
#include "play/stage_run.h"
#include "screens/closing.h"
#include "screens/forms.h"
#include "screens/score_saving.h"
#include "state/module1.h"

#include <memory>

StageResults* stageResults = nullptr;

namespace {
GameStarter& gameStarter()
{
    static GameStarter starter;
    return starter;
}
}  // namespace

void setGameStarter(GameStarter starter)
{
    gameStarter() = std::move(starter);
}

void wireResultsScreen(Form4& window)
{
    static std::unique_ptr<StageResults> results;
    results = std::make_unique<StageResults>(window);
    stageResults = results.get();
}

StageResults::StageResults(Form4& window) : w_(window)
{
    w_.onKeyDown = [this](int KeyCode, int Shift) { Form_KeyDown(KeyCode, Shift); };
    form5->onKeyDown = [this](int KeyCode, int) { finalKeyDown(KeyCode); };
}

void StageResults::Form_KeyDown(int KeyCode, int /*Shift*/)
{
    switch (KeyCode) {
    case vk::Escape:
        quitByKey();
        break;
    case vk::Numpad4: nextstage(); break;
    case vk::Numpad6: jikkyo(); break;
    case vk::Numpad5:
        if (Module1.Result.gameEnd == GameOutcome::Lost)
            playAgain(&w_);
        break;
    default: break;
    }
}

void StageResults::finalKeyDown(int KeyCode)
{
    if (KeyCode == vk::Numpad5)
        playAgain(form5);
    else
        backToTitleKeys(form5, KeyCode);
}

void StageResults::playAgain(QWidget* from)
{
    if (gameStarter())
        gameStarter()(from, Module1.ScoreSlotBase);
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
