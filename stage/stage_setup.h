#pragma once
// Stage set-up: what a game's stage and a practice stage share.
#include <QString>

#include <array>

// A stage's values back to their start (the stage number as it is), the
// announcer's deck full, the random numbers seeded anew and six digits drawn.
void resetStage();

// What the announcer says as `stage` is made ready.
std::array<QString, 4> stageReadyLines(int stage);

// Draws the first stage's opening commentary once, out of sight, so that
// the first play screen does not wait for its glyphs.
void drawFirstStageAhead();
