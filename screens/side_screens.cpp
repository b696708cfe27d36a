// The final result, high-score and commentary log screens, and their keys.
#include "platform/keys.h"
#include "platform/sound.h"
#include "screens/closing.h"
#include "screens/forms.h"
#include "state/module1.h"

namespace {
constexpr double kLogLineTwips = 21 * kTwipsPerPixel;  // one 21-pixel line
}  // namespace

void backToTitleKeys(GameWindow* screen, int KeyCode)
{
    if (KeyCode == vk::Escape) {
        quitByKey();
    } else if (KeyCode == vk::Numpad0) {
        s_play(Sound::SoundPowah, false);
        switchScreen(screen, form1);
    }
}

void wireSideScreens()
{
    form8->onKeyDown = [](int KeyCode, int) { backToTitleKeys(form8, KeyCode); };
    form6->onKeyDown = [](int KeyCode, int) { form6->keyDown(KeyCode); };
}

void Form5::showFinal(int gameTotal, int best, int rank)
{
    Label3->setCaption(timesTen(gameTotal));
    Label5->setCaption(timesTen(best));
    Image1->setPicture(form7->Picture4(rank)->picture);
}

void Form8::showScores()
{
    for (int i = 0; i < kScoreSlots; ++i)
        Label5(i)->setCaption(timesTen(Module1.HighScores[i]));
}

void Form6::openLog()
{
    Module1.LogScrollMax = Module1.CommentCount;
    Module1.LogScrollPos = 0;
    Label1(0)->setTop(0);
}

void Form6::keyDown(int KeyCode)
{
    switch (KeyCode) {
    case vk::Escape:
        quitByKey();
        break;
    case vk::Numpad4:
    case vk::PageUp:
        scrollUp();
        break;
    case vk::Numpad1:
    case vk::PageDown:
        scrollDown();
        break;
    case vk::Numpad0:
        s_play(Sound::SoundPowah, false);
        switchScreen(this, form4);
        break;
    default: break;
    }
}

void Form6::scrollUp()
{
    Module1.LogScrollPos = Module1.LogScrollPos - 1;
    if (Module1.LogScrollPos < 0) {
        Module1.LogScrollPos = 0;
        return;
    }
    Label1(0)->setTop(-Module1.LogScrollPos * kLogLineTwips);
}

void Form6::scrollDown()
{
    Module1.LogScrollPos = Module1.LogScrollPos + 1;
    if (Module1.LogScrollPos > Module1.LogScrollMax) {
        Module1.LogScrollPos = Module1.LogScrollMax;
        return;
    }
    Label1(0)->setTop(-Module1.LogScrollPos * kLogLineTwips);
}

void Form6::startLog(const QString& text)
{
    Label1(0)->setCaption(text);
}
