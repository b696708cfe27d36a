// The results screen filled with the stage just ended.
#include "screens/forms.h"
#include "state/module1.h"

namespace {
// The verdict as the results screen words it: a clear that beat the stage
// best is a high score.
QString verdictCaption(const StageResult& result)
{
    switch (result.verdict) {
    case StageVerdict::GiveUp: return QStringLiteral("GiveUp!!");
    case StageVerdict::Failure: return QStringLiteral("Failure!!");
    case StageVerdict::Clear: break;
    }
    return result.bestBeaten ? QStringLiteral("HiSCORE!!") : QStringLiteral("Clear!!");
}

// The result picture names what keypad 4 will do.
int resultPicture(const StageResult& result)
{
    if (!result.gameEnd)
        return kResultNextStage;
    return *result.gameEnd == GameOutcome::Cleared ? kResultAllClear : kResultGameOver;
}
}  // namespace

void Form4::showResult(const StageResult& result)
{
    const GameState& m = Module1;
    Image3->setPicture(form7->Picture3(resultPicture(result))->picture);
    Image2->setPicture(form7->Picture2(m.Stage - 1)->picture);
    Label2(1)->setCaption(timesTen(m.StageScore));
    Label3(1)->setCaption(verdictCaption(result));
    Label4(1)->setCaption(timesTen(result.gameTotal));
    Label5(1)->setCaption(timesTen(m.StageQuota[m.Stage]));
    LabelAgain->setVisible(result.gameEnd == GameOutcome::Lost);
}
