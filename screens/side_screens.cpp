// The final result, high-score and commentary log screens.
#include "platform/keys.h"
#include "platform/sound.h"
#include "screens/closing.h"
#include "screens/forms.h"
#include "state/module1.h"

namespace {
constexpr double kLogLineTwips = 21 * kTwipsPerPixel;  // one 21-pixel line

// Final result and high scores behave alike: keypad 0 back to the title.
void backToTitleKeys(GameWindow* screen, int KeyCode)
{
    if (KeyCode == vk::Escape) {
        quitByKey();
    } else if (KeyCode == vk::Numpad0) {
        s_play(Sound::SoundPowah, false);
        switchScreen(screen, form1);
    }
}
}  // namespace

void Form5::Form_KeyDown(int KeyCode, int /*Shift*/)
{
    backToTitleKeys(this, KeyCode);
}

void Form8::Form_KeyDown(int KeyCode, int /*Shift*/)
{
    backToTitleKeys(this, KeyCode);
}

void Form6::Form_KeyDown(int KeyCode, int /*Shift*/)
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
