#pragma once
// Small seams around what the window system gives every program: ending the
// process at once, and the uniform random numbers of the stage clock.
#include <functional>

// Ends the whole program immediately: no further event, no file written.
// Tests install a handler that records the request instead.
void endProgram(int exitCode = 0);
using EndHandler = std::function<void(int)>;
EndHandler setEndHandler(EndHandler handler);

// Uniform random number 0 <= r < 1.
double rnd();
// Re-seeds the generator from the clock.
void randomize();
using RandomSource = std::function<double()>;
// Replaces the generator (nullptr restores the real one); randomize() then
// leaves the replacement alone.
RandomSource setRandomSource(RandomSource source);
