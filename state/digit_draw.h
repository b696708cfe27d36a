#pragma once
// Drawing the digit that comes next in the target queue.
#include "state/module1.h"

// The digit that a uniform random number r (0 <= r < 1) draws for the
// stage in play: with DigitWeights, digit d with the share of its weight;
// otherwise one of the stage's key range, each alike. previous: the digit
// just before it in the queue (0 for none); with DigitWeightsAfter its row
// weighs the draw instead.
int drawDigit(const GameState& m, double r, int previous = 0);
