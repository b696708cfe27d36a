#pragma once
// The play screen's procedures: the count-down, the clock, each keypad
// digit, the announcer, giving up and the end of play. Each asks the stage
// model (StageRun on Module1) what happens and paints what it returns on
// Form3, in the order the player sees and hears it.
#include "history/stage_figures.h"
#include "play/pace.h"
#include "play/stage_run.h"

#include <initializer_list>

class Form3;

class StagePlay {
public:
    // Takes over Form3's keys, its mascot's click and its clock.
    explicit StagePlay(Form3& window);

    void Form_KeyDown(int KeyCode, int Shift);
    void start();
    void Timer1_Timer();
    void n_input(int d);
    void Image2_Click();
    void jikkyo();
    void announce(const QString& text);
    void giveup();
    void gameend();

    // The figures a practice stage's digit weights came from; its result
    // shows them as "before".
    void setPracticeFiguresBefore(KeypadInsight figures) { figuresBefore_ = std::move(figures); }
    const KeypadInsight& practiceFiguresBefore() const { return figuresBefore_; }

private:
    void timeup();
    // Time-up and give-up alike: play has stopped; the announcer has the
    // last words, the time-up sound plays and the score row shows "集計中".
    void stopPlay(std::initializer_list<const char*> lastWords);
    // Hands the stage just ended to the play history.
    void recordStageEnd();
    // Keypad 0 after a practice stage: its result instead of the results screen.
    void showPracticeResult();
    void announceTime(int remaining);
    void randomPhrase();
    // The run of this stage's best, from the history, when the pace is shown.
    void loadPace();
    void showPace(int ticks);

    Form3& w_;
    std::optional<Pace> pace_;
    KeypadInsight figuresBefore_;
};

// The one play screen's procedures, made with the windows (wirePlayScreen).
extern StagePlay* stagePlay;
void wirePlayScreen(Form3& window);
