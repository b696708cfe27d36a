// The play screen's keys and the judgement of each keypad digit.
#include "history/recorder.h"
#include "platform/control_canvas.h"
#include "platform/keys.h"
#include "platform/msgbox.h"
#include "platform/sound.h"
#include "play/stage_play.h"
#include "screens/closing.h"
#include "screens/forms.h"
#include "state/module1.h"

#include <QTimer>

StagePlay* stagePlay = nullptr;

void wirePlayScreen(Form3& window)
{
    static std::unique_ptr<StagePlay> play;
    play = std::make_unique<StagePlay>(window);
    stagePlay = play.get();
}

StagePlay::StagePlay(Form3& window) : w_(window)
{
    w_.onKeyDown = [this](int KeyCode, int Shift) { Form_KeyDown(KeyCode, Shift); };
    w_.Image2->onClick = [this] { Image2_Click(); };
    w_.onTimer1 = [this] { Timer1_Timer(); };
}

void StagePlay::Form_KeyDown(int KeyCode, int /*Shift*/)
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

void StagePlay::n_input(int d)
{
    GameState& m = Module1;
    const Judgement j = StageRun(m).key(d);
    gameHistory().keyJudged(d, j.target, j.hit);
    if (j.gaugeEmptied)
        for (int i = 0; i < kGaugeBlocks; ++i)
            w_.Image3(i)->setVisible(false);
    if (!j.hit) {
        s_play(Sound::SoundMiss, false);
        return;
    }

    // Only the cells the moved queue leaves empty are cleared, so a cell
    // that shows the same digit again is not drawn again.
    bool refilled[kKeyGridCells] = {};
    for (int i = 0; i < kKeyRows; ++i)
        if (const int c = Form3::keyCell(i); c >= 0)
            refilled[c] = true;
    for (int i = 0; i < kKeyGridCells; ++i)
        if (!refilled[i])
            w_.Label1(i)->setCaption(QString());
    for (int i = 0; i < kKeyRows; ++i)
        w_.n_print(i);

    // The grid goes to the window system first, as a rectangle of its own:
    // the next digit to strike is what the player waits for, and the grid
    // is a fifth of the area the whole change spans. The character, the
    // score and the blocks lit follow as a second rectangle.
    QRect grid;
    for (const auto& [index, cell] : w_.Label1)
        grid |= cell->geometry();
    w_.canvas->flushTogether(grid);

    QRect changed;
    for (int i = 0; i < kGaugeBlocks; ++i) {
        if (j.lightUp.test(static_cast<size_t>(i))) {
            w_.Image3(i)->setVisible(true);
            changed |= w_.Image3(i)->geometry();
        }
    }
    showDigits(w_.Label6, m.StageScore);
    for (const auto& [index, digit] : w_.Label6)
        changed |= digit->geometry();
    s_play(Sound::SoundHit, false);
    m.AnimFrame = m.AnimFrame + 1;
    w_.Image1->setPicture(form7->Picture1((m.AnimFrame % kFramesPerStage) + (m.Stage - 1) * kFramesPerStage)->picture);
    w_.canvas->flushTogether(changed | w_.Image1->geometry());
}

void StagePlay::Image2_Click()
{
    if (Module1.PlayOver == 0 && Module1.PlayActive == 0) {
        MessageRequest request;
        request.text = QString::fromUtf8("ボクの名前は「ミルト＝ボーン」\r\nロルヴァ学園図書館のマスコットさ！");
        request.informationIcon = true;
        msgbox(request);
    }
}
