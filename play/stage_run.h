#pragma once
// A stage's whole life by its rules, without any window: set-up, the start,
// each keypad digit judged against the target queue, the gauge and its
// points, the clock's ticks to time-up, giving up, and the judgement at the
// end. It works on the game state's own variables (Module1 in the game, a
// state of its own in a test), takes its random numbers from rnd() and
// says what the screen has to show; it paints and plays nothing itself.
#include "state/module1.h"

#include <bitset>

struct Judgement {
    bool hit = false;
    int target = 0;                    // the digit that was asked for
    int points = 0;                    // added to the stage score
    bool gaugeEmptied = false;         // a miss: every gauge block goes dark
    std::bitset<kGaugeFull> lightUp;   // blocks this hit switches on
    int newDigit = 0;                  // drawn into the back of the queue on a hit
};

struct ClockTick {
    int elapsed = 0;       // seconds gone as the clock stood at the tick (the marker shows them)
    bool timeUp = false;   // this tick ended play
    int remaining = 0;     // seconds left for the announcer (when play goes on)
};

class StageRun {
public:
    explicit StageRun(GameState& state) : m_(state) {}

    // The stage's values back to their start (the stage number as it is),
    // the random numbers seeded anew and six digits drawn.
    void setUp();
    // The count-down is over: keys and ticks count from now.
    void start();
    // Judges digit d (1..9) against the key to strike now: a hit moves the
    // queue on, draws a new digit and raises the gauge; a miss empties the
    // gauge. The stage score grows by the points.
    Judgement key(int d);
    // One tick of the clock. The clock never shows 0: the tick that finds
    // one second left ends play.
    ClockTick tick();
    // Esc during play.
    void giveUp();

    // The quota this stage is judged against: a practice stage has none.
    int quota() const;
    // The verdict as play stops (time-up or give-up), before keypad 0.
    StageVerdict verdict() const;
    // Keypad 0 after play: the stage best raised if beaten (even on a lost
    // stage), the verdict, how the game goes on and the stage score added
    // to the game total. Kept in the state as Result. A practice stage
    // touches no best and no total.
    StageResult finish();
    // After a won game: raises the mode's best game total if beaten.
    bool keepGameBest();

private:
    void raiseGauge(Judgement& j);

    GameState& m_;
};
