// The progress screen's charts.
#include "screens/progress_charts.h"

#include "platform/controls.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace chart {

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

QFont pixelFont(int px)
{
    QFont f = gameFont(9);
    f.setPixelSize(px);
    return f;
}

QFont axisFont()
{
    QFont f;
    f.setFamilies({QStringLiteral("IPAPMincho"), QStringLiteral("IPAMincho")});
    f.setPixelSize(12);  // nothing on these pages smaller at zoom 1
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

namespace {
QColor withAlpha(QColor c, int alpha)
{
    c.setAlpha(alpha);
    return c;
}

double yOf(const QRectF& area, const Axis& y, double value)
{
    return area.bottom() - (value - y.low) / (y.high - y.low) * area.height();
}

// Horizontal grid lines and their labels on the left of the plot.
void yGrid(QPainter& p, const QRectF& area, const Axis& y, const std::function<QString(double)>& format)
{
    const QFont f = axisFont();
    for (double v = y.low; v <= y.high + y.step / 1000; v += y.step) {
        const double py = std::round(yOf(area, y, v)) + 0.5;
        p.setPen(QPen(withAlpha(kGold, v == y.low ? 170 : 45), 1, v == y.low ? Qt::SolidLine : Qt::DotLine));
        p.drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
        text(p, area.left() - 6, py + 4, format(v), f, kPaper, Qt::AlignRight);
    }
    p.setPen(QPen(withAlpha(kGold, 170), 1));
    p.drawLine(QPointF(area.left() + 0.5, area.top()), QPointF(area.left() + 0.5, area.bottom()));
}

// A neon stroke: a wide faint glow under a thin bright line.
void glowPath(QPainter& p, const QPainterPath& path, const QColor& color)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(color, 60), 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
    p.setPen(QPen(color, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}
}  // namespace

Axis niceAxis(double minValue, double maxValue, int ticks, bool fromZero)
{
    if (fromZero)
        minValue = std::min(0.0, minValue);
    if (maxValue <= minValue)
        maxValue = minValue + 1;
    const double raw = (maxValue - minValue) / std::max(1, ticks);
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    double step = power;
    for (double m : {1.0, 2.0, 5.0, 10.0}) {
        step = m * power;
        if (step >= raw)
            break;
    }
    Axis a;
    a.step = step;
    a.low = std::floor(minValue / step) * step;
    a.high = std::ceil(maxValue / step) * step;
    if (a.high <= a.low)
        a.high = a.low + step;
    return a;
}

namespace {
double luminance(const QColor& c)
{
    const auto channel = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}
}  // namespace

double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& fill)
{
    const QColor dark(0, 0, 0), light(0xFF, 0xFF, 0xFF);
    return contrast(dark, fill) >= contrast(light, fill) ? dark : light;
}

QString grouped(qint64 value)
{
    return QLocale(QLocale::English).toString(value);
}

void text(QPainter& p, double x, double y, const QString& s, const QFont& font, const QColor& color,
          Qt::Alignment align)
{
    const double width = QFontMetricsF(font).horizontalAdvance(s);
    double left = x;
    if (align & Qt::AlignRight)
        left = x - width;
    else if (align & Qt::AlignHCenter)
        left = x - width / 2;
    p.setFont(font);
    p.setPen(color);
    p.drawText(QPointF(left, y), s);
}

void lineChart(QPainter& p, const QRectF& area, const std::vector<Series>& series, int positions, const Axis& y,
               const std::function<QString(double)>& format)
{
    yGrid(p, area, y, format);
    // One game stands alone in the middle.
    const double dx = positions > 1 ? area.width() / (positions - 1) : 0;
    const double x0 = positions > 1 ? area.left() : area.center().x();
    const QFont f = axisFont();
    // x labels: the oldest and the newest game
    if (positions > 1)
        text(p, area.left(), area.bottom() + 15, QStringLiteral("%1ゲーム前").arg(positions - 1), f, kPaper);
    if (positions > 0)
        text(p, positions > 1 ? area.right() : x0, area.bottom() + 15, QStringLiteral("最新"), f, kPaper,
             positions > 1 ? Qt::AlignRight : Qt::AlignHCenter);
    for (const Series& s : series) {
        // Right-aligned: each series' newest value stands at the right edge.
        const int offset = positions - static_cast<int>(s.values.size());
        QPainterPath path;
        bool drawing = false;
        std::vector<QPointF> dots;
        for (size_t i = 0; i < s.values.size(); ++i) {
            if (!s.values[i])
                continue;  // the line runs on past a game without a value
            const QPointF pt(x0 + (offset + static_cast<int>(i)) * dx, yOf(area, y, *s.values[i]));
            if (drawing)
                path.lineTo(pt);
            else
                path.moveTo(pt);
            drawing = true;
            dots.push_back(pt);
        }
        glowPath(p, path, s.color);
        // A lone value gets a ring of glow, so one game is seen at once.
        const double radius = dots.size() == 1 ? 4.5 : 3.0;
        p.setBrush(s.color);
        for (const QPointF& d : dots) {
            p.setPen(dots.size() == 1 ? QPen(withAlpha(s.color, 90), 5) : QPen(Qt::NoPen));
            p.drawEllipse(d, radius, radius);
        }
    }
}

namespace {
double groupWidthOf(const QRectF& area, int groups)
{
    return area.width() / static_cast<double>(std::max(1, groups));
}

double barWidthOf(const QRectF& area, int groups, size_t series)
{
    return std::min(30.0, groupWidthOf(area, groups) * 0.7 / static_cast<double>(std::max<size_t>(1, series)));
}

std::optional<double> valueOf(const Series& s, int group)
{
    return group < static_cast<int>(s.values.size()) ? s.values[static_cast<size_t>(group)] : std::nullopt;
}
}  // namespace

std::vector<QRectF> barLabels(const QRectF& area, int groups, const std::vector<Series>& series, const Axis& y,
                              const std::function<QString(double)>& format, const QFontMetricsF& metrics)
{
    std::vector<QRectF> labels;
    const double groupWidth = groupWidthOf(area, groups);
    const double barWidth = barWidthOf(area, groups, series.size());
    const double height = metrics.ascent() + metrics.descent();
    for (int g = 0; g < groups; ++g) {
        const double first = area.left() + groupWidth * (g + 0.5) - barWidth * static_cast<double>(series.size()) / 2;
        const size_t own = labels.size();
        std::vector<size_t> byHeight;
        for (size_t s = 0; s < series.size(); ++s) {
            const std::optional<double> v = valueOf(series[s], g);
            if (!v) {
                labels.emplace_back();
                continue;
            }
            const double width = metrics.horizontalAdvance(format(*v));
            const double centre = first + barWidth * (static_cast<double>(s) + 0.5);
            const double baseline = yOf(area, y, *v) - 4;
            labels.emplace_back(centre - width / 2, baseline - metrics.ascent(), width, height);
            byHeight.push_back(own + s);
        }
        // Lowest bar first: each label above every one it would meet.
        std::sort(byHeight.begin(), byHeight.end(),
                  [&](size_t a, size_t b) { return labels[a].top() > labels[b].top(); });
        for (size_t i = 0; i < byHeight.size(); ++i) {
            QRectF& r = labels[byHeight[i]];
            for (size_t j = 0; j < i; ++j) {
                const QRectF& below = labels[byHeight[j]];
                if (r.adjusted(-2, -1, 2, 1).intersects(below))
                    r.moveBottom(below.top() - 1);
            }
        }
    }
    return labels;
}

void groupedBars(QPainter& p, const QRectF& area, const QStringList& groups, const std::vector<Series>& series,
                 const Axis& y, const std::function<QString(double)>& format)
{
    yGrid(p, area, y, format);
    const QFont f = axisFont();
    const int count = static_cast<int>(groups.size());
    const double groupWidth = groupWidthOf(area, count);
    const double barWidth = barWidthOf(area, count, series.size());
    const QFontMetricsF metrics(f, p.device());
    const std::vector<QRectF> labels = barLabels(area, count, series, y, format, metrics);
    for (int g = 0; g < count; ++g) {
        const double centre = area.left() + groupWidth * (g + 0.5);
        text(p, centre, area.bottom() + 15, groups[g], f, kPaper, Qt::AlignHCenter);
        const double first = centre - barWidth * static_cast<double>(series.size()) / 2;
        for (size_t s = 0; s < series.size(); ++s) {
            const std::optional<double> v = valueOf(series[s], g);
            const QColor c = series[s].color;
            const double left = first + barWidth * static_cast<double>(s) + 2;
            if (!v) {
                // No bar: the mode has not reached this stage yet; said down the empty place.
                const QString why = QStringLiteral("未到達");
                for (qsizetype i = 0; i < why.size(); ++i) {
                    const double down = 14.0 * static_cast<double>(why.size() - 1 - i);
                    text(p, left + (barWidth - 4) / 2, area.bottom() - 4 - down, why.mid(i, 1), f, withAlpha(c, 150),
                         Qt::AlignHCenter);
                }
                continue;
            }
            const QRectF bar(left, yOf(area, y, *v), barWidth - 4, area.bottom() - yOf(area, y, *v));
            QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
            fill.setColorAt(0, withAlpha(c, 230));
            fill.setColorAt(1, withAlpha(c, 70));
            p.setPen(QPen(c, 1));
            p.setBrush(fill);
            p.drawRect(bar);
            const QRectF& label = labels[static_cast<size_t>(g) * series.size() + s];
            text(p, label.center().x(), label.top() + metrics.ascent(), format(*v), f, c, Qt::AlignHCenter);
        }
    }
}

void barStrip(QPainter& p, const QRectF& area, const std::vector<int>& values, int top, const QColor& color)
{
    p.setPen(QPen(withAlpha(kGold, 120), 1));
    p.drawLine(QPointF(area.left(), area.bottom() + 0.5), QPointF(area.right(), area.bottom() + 0.5));
    if (values.empty() || top <= 0)
        return;
    const double w = area.width() / static_cast<double>(values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] <= 0)
            continue;
        const double h = area.height() * std::min(values[i], top) / top;
        const QRectF bar(area.left() + w * static_cast<double>(i) + 1, area.bottom() - h, w - 2, h);
        QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
        fill.setColorAt(0, color);
        fill.setColorAt(1, withAlpha(color, 90));
        p.setPen(Qt::NoPen);
        p.setBrush(fill);
        p.drawRect(bar);
    }
}

void legend(QPainter& p, double right, double y, const std::vector<Series>& series, const QFont& font)
{
    double x = right;
    for (auto it = series.rbegin(); it != series.rend(); ++it) {
        const double w = QFontMetricsF(font).horizontalAdvance(it->name);
        text(p, x, y, it->name, font, it->color, Qt::AlignRight);
        x -= w + 6;
        p.setPen(QPen(it->color, 2));
        p.drawLine(QPointF(x - 14, y - 5), QPointF(x, y - 5));
        x -= 26;
    }
}

}  // namespace chart
