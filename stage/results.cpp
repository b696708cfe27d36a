// The results screen between stages: on to the next stage, to the final
// result, back to the title after a lost game, or into the commentary log.
#include "platform/keys.h"
#include "platform/sound.h"
#include "screens/closing.h"
#include "screens/forms.h"
#include "screens/high_scores.h"
#include "stage/stage_setup.h"
#include "state/module1.h"
#include "state/rules.h"

#include <cmath>

void Form4::Form_KeyDown(int KeyCode, int /*Shift*/)
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

void Form4::nextstage()
{
    GameState& m = Module1;
    // The result picture left by the end of play is the record of the outcome.
    const Picture shown = Image3->picture();
    if (shown == form7->Picture3(kResultAllClear)->picture) {
        // All five stages cleared.
        if (m.GameScore > m.HighScores[m.ScoreSlotBase]) {
            m.HighScores[m.ScoreSlotBase] = m.GameScore;
            saveHighScores();
        }
        s_play(Sound::SoundAllClear, false);
        const int rank = rankOf(m.GameScore);
        form5->Label3->setCaption(timesTen(m.GameScore));
        form5->Label5->setCaption(timesTen(m.HighScores[m.ScoreSlotBase]));
        form5->Image1->setPicture(form7->Picture4(rank)->picture);
        form5->show();
    } else if (shown == form7->Picture3(kResultNextStage)->picture) {
        n_stage();
        s_play(Sound::SoundPowah, false);
        form3->show();
    } else if (shown == form7->Picture3(kResultGameOver)->picture) {
        s_play(Sound::SoundPowah, false);
        form1->show();
    } else {
        // No outcome recorded: stay here rather than leave no screen shown.
        return;
    }
    hide();
}

void Form4::jikkyo()
{
    Module1.LogScrollMax = Module1.CommentCount;
    Module1.LogScrollPos = 0;
    s_play(Sound::SoundPowah, false);
    form6->Label1(0)->setTop(0);
    switchScreen(this, form6);
}
