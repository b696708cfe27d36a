#pragma once
// The insight pages of プレイ記録: the keypad's digits, what was pressed
// instead, the slowest moves and keystrokes per hour. Painted with QPainter
// in the same look as the other charts of the screen.
#include "history/history_reader.h"
#include "screens/progress_charts.h"

#include <QPainter>
#include <QPainterPath>
#include <QString>
#include <optional>
#include <vector>

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

// The keystrokes-per-hour chart: its plot, its scale, the band at the top
// where the legends and the newest game's line stand (the values are kept
// below it), and the newest game's point.
struct SpeedLayout {
    QRectF plot;
    chart::Axis y;
    QRectF legend;
    std::optional<QPointF> newest;
};
// With the shown mode, whose best line stays below the band too.
SpeedLayout speedLayout(const InsightData& data, int mode);

// テンキー分析's shading runs from the fastest median to the slowest, over
// at least kScaleMinSpanMs: digits a few milliseconds apart look alike.
constexpr int kScaleMinSpanMs = 250;
struct KeypadScale {
    int fastMs = 0;
    int slowMs = 0;
    // 0 at the fast end, 1 at the slow end.
    double at(int ms) const;
};
std::optional<KeypadScale> keypadScale(const std::vector<int>& medians);

// The slow moves' keypad: a digit's key, and each move's arrow (a ring
// inside the key for a move from a digit to itself) with its number's centre.
QRectF moveKeyRect(int digit);
struct MoveArrow {
    QPainterPath path;
    QPointF label;
    bool toItself = false;
};
std::vector<MoveArrow> moveArrows(const std::vector<Move>& moves);

}  // namespace insight
