#pragma once
// Small charts in the game's own look: black ground, thin gold axes, neon
// lines and bars in the colours of the modes. Drawn with QPainter so they
// sit on the screen's artwork pixel for pixel.
#include "state/palette.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

namespace chart {

inline const QColor kGold(0xE6, 0xBE, 0x5A);
inline const QColor kPaper(0xF4, 0xEA, 0xD0);
inline const QColor kMist(0xB8, 0xC4, 0xDC);
// The modes' lines, as the chosen palette has them: fixed once it is
// chosen at start-up, before any page is drawn.
inline const QColor& kNormal = gamePalette().normalMode;      // the normal mode
inline const QColor& kHard = gamePalette().hardMode;          // the hard mode
inline const QColor& kPractice = gamePalette().practiceMode;  // practice stages
inline const QColor& kEntry = gamePalette().entryMode;        // 数字入力 tests
inline const QColor kCyan(0x00, 0xFF, 0xFF);
inline const QColor kYellow(0xFF, 0xFF, 0x00);

// A round axis: from `low` to `high` in steps of `step`.
struct Axis {
    double low = 0;
    double high = 1;
    double step = 1;
};
// An axis that holds every value with at most about `ticks` steps of
// 1, 2 or 5 times a power of ten; from 0 when fromZero.
Axis niceAxis(double minValue, double maxValue, int ticks, bool fromZero);

struct Series {
    QString name;
    QColor color;
    std::vector<std::optional<double>> values;  // one per x slot, oldest first; empty positions are skipped
};

// Line chart: series over `positions` x positions, the y axis labelled with
// format(value).
void lineChart(QPainter& p, const QRectF& area, const std::vector<Series>& series, int positions,
               const Axis& y, const std::function<QString(double)>& format);

// Grouped bars: groups along x (named below), one bar per series in each,
// its value written above it.
void groupedBars(QPainter& p, const QRectF& area, const QStringList& groups, const std::vector<Series>& series,
                 const Axis& y, const std::function<QString(double)>& format);

// Where groupedBars writes each bar's value (in the order of the groups,
// then the series; an empty rect for a bar without a value): above its
// bar, and where two of a group would meet, the higher one lifted above
// the other. `metrics` measure the labels' font on the device drawn to.
std::vector<QRectF> barLabels(const QRectF& area, int groups, const std::vector<Series>& series, const Axis& y,
                              const std::function<QString(double)>& format, const QFontMetricsF& metrics);

// A small strip of bars (one per value), for the seconds of a stage.
void barStrip(QPainter& p, const QRectF& area, const std::vector<int>& values, int top, const QColor& color);

// Legend entries from the right edge leftwards, on the baseline y.
void legend(QPainter& p, double right, double y, const std::vector<Series>& series, const QFont& font);

// A text colour that reads on this fill: black on light fills, white on dark.
QColor readableOn(const QColor& fill);
// The contrast of two colours as the web's accessibility rules reckon it, 1 to 21.
double contrast(const QColor& a, const QColor& b);

// 1,234,567: whole numbers as the charts write them.
QString grouped(qint64 value);

// The pages' texts are written in UTF-8 here; their face at a pixel size.
QString u8(const char* text);
QFont pixelFont(int px);

// The axes' and the bars' values' face: 12 px, nothing smaller at zoom 1.
QFont axisFont();

// Text helpers: left, centred or right of x on the baseline y.
void text(QPainter& p, double x, double y, const QString& s, const QFont& font, const QColor& color,
          Qt::Alignment align = Qt::AlignLeft);

}  // namespace chart
