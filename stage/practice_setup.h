#pragma once
// 苦手特訓: a practice stage set up on the play screen the way n_stage sets
// up a stage of a game, with the digits the player finds hard coming more
// often. Nothing of it touches the best scores.
#include "history/stage_figures.h"

// The stage whose clock, gauge step and character pictures a practice
// stage borrows; its digits are 1..9 whatever that stage's key range.
constexpr int kPracticeRulesStage = 1;

// Works out the digit weights from the history, resets the stage, draws
// the first six digits and prepares the play screen and the announcer.
void setUpPractice();
// The figures the current practice stage's weights came from.
const KeypadInsight& practiceFiguresBefore();
