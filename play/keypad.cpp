// The play screen's keys and the judgement of each keypad digit.
#include "history/recorder.h"
#include "platform/keys.h"
#include "platform/msgbox.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "screens/closing.h"
#include "screens/forms.h"
#include "stage/stage_setup.h"
#include "state/module1.h"

#include <cmath>

void Form3::Form_KeyDown(int KeyCode, int /*Shift*/)
{
    GameState& m = Module1;
    // Four tests in turn, each seeing the flags the previous one left, so a
    // key press leads to one action at most.
    if (KeyCode == vk::Escape) {
        if (m.PlayActive == 1)
            giveup();
        else
            quitByKey();
    }
    if (KeyCode == vk::Numpad0 && m.PlayOver == 0 && m.PlayActive == 0)
        start();
    if (KeyCode == vk::Numpad0 && m.PlayOver == 1)
        gameend();
    if (m.PlayActive == 1 && KeyCode >= vk::Numpad1 && KeyCode <= vk::Numpad9)
        n_input(KeyCode - vk::Numpad0);
}

void Form3::n_input(int d)
{
    GameState& m = Module1;
    const QString key = QString::number(d);
    const bool hit = Label1(0)->caption() == key || Label1(6)->caption() == key ||
                     Label1(12)->caption() == key;
    gameHistory().keyJudged(d, m.KeyQueue[0], hit);
    if (!hit) {
        m.GaugeLevel = 0;
        m.PointsPerHit = 0;
        for (int i = 0; i < kGaugeBlocks; ++i)
            Image3(i)->setVisible(false);
        s_play(Sound::SoundMiss, false);
        return;
    }

    m.KeyQueue[kNewDigitSlot] = static_cast<int>(m.StageKeyRange[m.Stage] * rnd()) + 1;
    for (int i = 0; i < kKeyRows; ++i)
        m.KeyQueue[i] = m.KeyQueue[i + 1];
    // Only the cells the moved queue leaves empty are cleared, so a cell
    // that shows the same digit again is not drawn again.
    bool refilled[kKeyGridCells] = {};
    for (int i = 0; i < kKeyRows; ++i)
        if (const int c = keyCell(i); c >= 0)
            refilled[c] = true;
    for (int i = 0; i < kKeyGridCells; ++i)
        if (!refilled[i])
            Label1(i)->setCaption(QString());
    for (int i = 0; i < kKeyRows; ++i)
        n_print(i);

    m.GaugeLevel = m.GaugeLevel + m.StageGaugeStep[m.Stage];
    if (m.GaugeLevel == kGaugeFull + 1) {
        m.GaugeLevel = kGaugeFull;
    } else if (m.GaugeLevel > kGaugeFull + 1) {
        // A step that jumps past 11 without landing on it (1.5: 10.5, 12)
        // holds the gauge full as well, instead of asking for a twelfth
        // segment. A fraction between 10 and 11 is left as it is: like any
        // fraction it lights nothing and keeps the points per hit.
        m.GaugeLevel = kGaugeFull;
        for (int i = 0; i < kGaugeBlocks; ++i)
            Image3(i)->setVisible(true);
    }
    const bool whole = m.GaugeLevel == std::floor(m.GaugeLevel);
    if (whole && m.GaugeLevel >= 1)
        Image3(static_cast<int>(m.GaugeLevel) - 1)->setVisible(true);
    if (whole && m.GaugeLevel >= 1 && m.GaugeLevel <= kGaugeFull)
        m.PointsPerHit = kPointsPerHit[static_cast<int>(m.GaugeLevel)];

    m.StageScore = m.StageScore + m.PointsPerHit;
    showDigits(Label6, m.StageScore);
    s_play(Sound::SoundHit, false);
    m.AnimFrame = m.AnimFrame + 1;
    Image1->setPicture(form7->Picture1((m.AnimFrame % kFramesPerStage) + (m.Stage - 1) * kFramesPerStage)->picture);
}

void Form3::Image2_Click()
{
    if (Module1.PlayOver == 0 && Module1.PlayActive == 0) {
        MessageRequest request;
        request.text = QString::fromUtf8("ボクの名前は「ミルト＝ボーン」\r\nロルヴァ学園図書館のマスコットさ！");
        request.informationIcon = true;
        msgbox(request);
    }
}
