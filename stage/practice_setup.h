#pragma once
// The practice stages (苦手特訓 and its drills of slow moves and of a
// chosen digit): set up on the play screen the way n_stage sets up a stage
// of a game, with the digits to drill coming more often. Nothing of them
// touches the best scores.
#include "history/practice_report.h"

// The stage whose clock, gauge step and character pictures a practice
// stage borrows; its digits are 1..9 whatever that stage's key range.
constexpr int kPracticeRulesStage = 1;

// Works out the digit weights of the drill from the history, resets the
// stage, draws the first six digits and prepares the play screen and the
// announcer.
void setUpPractice(const PracticeDrill& drill = {});
