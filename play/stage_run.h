#pragma once
// The rules of a stage in play, apart from the play screen: a keypad digit
// judged against the target queue, the gauge and the points it earns. It
// works on the game state's queue, gauge, points per hit and stage score,
// and says what the screen has to show; it paints nothing itself.
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

class StageRun {
public:
    explicit StageRun(GameState& state) : m_(state) {}

    // Judges digit d (1..9) against the key to strike now and applies the
    // rules: a hit moves the queue on, draws a new digit and raises the
    // gauge; a miss empties the gauge. The stage score grows by the points.
    Judgement judge(int d);

private:
    void raiseGauge(Judgement& j);

    GameState& m_;
};
