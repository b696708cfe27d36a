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

void Form4::showResult(const QString& verdict)
{
    const GameState& m = Module1;
    int picture = kResultGameOver;
    switch (m.Outcome) {
    case StageOutcome::NextStage: picture = kResultNextStage; break;
    case StageOutcome::AllClear: picture = kResultAllClear; break;
    case StageOutcome::GameOver: picture = kResultGameOver; break;
    }
    Image3->setPicture(form7->Picture3(picture)->picture);
    Image2->setPicture(form7->Picture2(m.Stage - 1)->picture);
    Label2(1)->setCaption(timesTen(m.StageScore));
    Label3(1)->setCaption(verdict);
    Label4(1)->setCaption(timesTen(m.GameScore));
    Label5(1)->setCaption(timesTen(m.StageQuota[m.Stage]));
}

void Form4::nextstage()
{
    GameState& m = Module1;
    switch (m.Outcome) {
    case StageOutcome::AllClear: {
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
        break;
    }
    case StageOutcome::NextStage:
        n_stage();
        s_play(Sound::SoundPowah, false);
        form3->show();
        break;
    case StageOutcome::GameOver:
        s_play(Sound::SoundPowah, false);
        form1->show();
        break;
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
