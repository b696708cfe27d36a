#pragma once
// The insight pages of プレイ記録: the keypad's digits, what was pressed
// instead, the slowest moves and keystrokes per hour. Painted with QPainter
// in the same look as the other charts of the screen.
#include "history/history_reader.h"

#include <QPainter>
#include <QString>

namespace insight {

enum class Page { Keypad, Misses, Moves, Speed };
constexpr int kPageCount = 4;

// The keypad pages' modes: normal 0, hard 1, practice 2, then 数字入力.
constexpr int kEntryMode = kGameModes;
constexpr int kModes = kGameModes + 1;
static_assert(kEntryMode == static_cast<int>(GameMode::Entry));

// The keypad pages show one mode at a time.
QString heading(Page page, int mode);
// Paints the page inside the screen's free area (594 x 375 design pixels).
// choosingDigit: keypad 7 was struck on テンキー分析, its hint asks for the digit.
void draw(QPainter& p, Page page, const InsightData& data, int mode, bool choosingDigit = false);

}  // namespace insight
