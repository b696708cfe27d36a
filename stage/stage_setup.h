#pragma once
// What stage set-up shares with play and the results.
#include "platform/control_array.h"

#include <QString>

#include <array>

class Label;

// The time marker (the play screen's Image2) slides down the left edge, in
// twips: it waits at kMarkerReadyTop until the first clock tick puts it at
// kMarkerStart, then moves kMarkerStep further each second.
constexpr int kMarkerReadyTop = 300;
constexpr int kMarkerStart = 450;
constexpr int kMarkerStep = 150;

// The play screen's number rows: four changing digit cells and a fixed "0",
// so a value held in tens of points reads as ten times itself.
void showDigits(const ControlArray<Label>& row, int value);

// A score or quota held in tens of points, as the player sees it.
QString timesTen(int value);

// A stage's values back to their start (the stage number as it is), the
// phrase deck full, the random numbers seeded anew and six digits drawn.
void resetStage();

// Puts every phrase of the master list back into the announcer's deck.
void refillPhraseDeck();

// The four lines of the commentary box, CR LF between them.
QString commentaryBox();

// What the announcer says as `stage` is made ready.
std::array<QString, 4> stageReadyLines(int stage);

// Draws the first stage's opening commentary once, out of sight, so that
// the first play screen does not wait for its glyphs.
void drawFirstStageAhead();
