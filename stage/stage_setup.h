#pragma once
// What stage set-up shares with play and the results.
#include "platform/control_array.h"

#include <QString>

class Label;

// The play screen's number rows: four changing digit cells and a fixed "0",
// so a value held in tens of points reads as ten times itself.
void showDigits(const ControlArray<Label>& row, int value);

// A score or quota held in tens of points, as the player sees it.
QString timesTen(int value);

// Puts every phrase of the master list back into the announcer's deck.
void refillPhraseDeck();
