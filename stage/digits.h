#pragma once
// The play screen's number rows: four changing digit cells and a fixed "0",
// so a value held in tens of points reads as ten times itself.
#include "platform/control_array.h"

class Label;
void showDigits(const ControlArray<Label>& row, int value);
