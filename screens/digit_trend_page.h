#pragma once
// プレイ記録's page of each digit's weeks: per digit, in the keypad's own
// arrangement, a small line of its weekly median reaction time, and the
// digit that got faster the most.
#include "history/digit_trend.h"

#include <QPainter>
#include <QString>

namespace digit_trend_page {

QString heading(int mode);
void draw(QPainter& p, const DigitTrend& trend);
// 「7: 748 → 617 ms（この4週間）」
QString improvementText(const DigitImprovement& improved);

}  // namespace digit_trend_page
