// The insight pages, drawn in design pixels; nothing on them is smaller
// than 12 px at zoom 1.
#include "screens/insight_pages.h"

#include "platform/controls.h"
#include "screens/progress_charts.h"

#include <QLinearGradient>
#include <QLocale>
#include <QPainterPath>
#include <QRegion>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <functional>

namespace insight {

using chart::grouped;

namespace {
constexpr double kHeadingBaseline = 66;
constexpr double kRight = 570;
constexpr double kSentenceBaseline = 310;
const QColor& kSlow = gamePalette().slow;
const QColor& kFast = gamePalette().fast;
const QColor& kNoFigure = gamePalette().noFigure;
// Behind the best line's words: the page's own night blue, nearly opaque.
const QColor kBestPlate(0x14, 0x12, 0x2A, 225);

using chart::pixelFont;
using chart::u8;

// Modes by index: normal, hard, practice, 数字入力.
QString modeName(int mode)
{
    const char* const names[kModes] = {"ノーマル", "ハード", "練習", "数字入力"};
    return u8(names[std::clamp(mode, 0, kModes - 1)]);
}

QColor modeColor(int mode)
{
    const QColor colors[kModes] = {chart::kNormal, chart::kHard, chart::kPractice, chart::kEntry};
    return colors[std::clamp(mode, 0, kModes - 1)];
}

// The play grid's colour of a digit's keypad row.
QColor rowColor(int digit)
{
    return keyRowColor(digit);
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    t = std::clamp(t, 0.0, 1.0);
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QString percent(double share)
{
    return QLocale(QLocale::English).toString(share * 100.0, 'f', 1) + QStringLiteral(" %");
}

// A key of the keypad, 7 8 9 on top as on the keypad itself.
QRectF keyRect(int digit, const QPointF& origin, double size, double gap)
{
    const int column = (digit - 1) % 3;
    const int row = 2 - (digit - 1) / 3;
    return QRectF(origin.x() + column * (size + gap), origin.y() + row * (size + gap), size, size);
}

void keyFrame(QPainter& p, const QRectF& r, const QColor& fill)
{
    p.setPen(QPen(chart::kGold, 1));
    p.setBrush(fill);
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
}

// "20 ゲーム・1,234 キー" on the right of the heading line.
void source(QPainter& p, int games, int keys, const QColor& color)
{
    chart::text(p, kRight, kHeadingBaseline, u8("%1 ゲーム・%2 キーから").arg(grouped(games), grouped(keys)),
                pixelFont(12), color, Qt::AlignRight);
}

// The shading's scale, its two ends written under it.
void scaleBar(QPainter& p, double x, const std::optional<KeypadScale>& scale)
{
    const QRectF bar(x, 172, 200, 12);
    QLinearGradient g(bar.topLeft(), bar.topRight());
    g.setColorAt(0, kFast);
    g.setColorAt(1, kSlow);
    p.setPen(QPen(chart::kGold, 1));
    p.setBrush(g);
    p.drawRect(bar);
    const QFont small = pixelFont(12);
    chart::text(p, x, 200, scale ? u8("速い %1 ms").arg(grouped(scale->fastMs)) : u8("速い"), small, chart::kMist);
    chart::text(p, bar.right(), 200, scale ? u8("遅い %1 ms").arg(grouped(scale->slowMs)) : u8("遅い"), small,
                chart::kMist, Qt::AlignRight);
    chart::text(p, x, 215, u8("色の幅は %1 ms 以上（わずかな差は同じ色）").arg(kScaleMinSpanMs), small, chart::kMist);
}

void drawKeypad(QPainter& p, const KeypadInsight& in, int mode, bool choosingDigit)
{
    source(p, in.games, in.keys, modeColor(mode));
    std::vector<int> medians;
    for (const DigitFigures& d : in.digits)
        if (d.medianMs)
            medians.push_back(*d.medianMs);
    const std::optional<KeypadScale> scale = keypadScale(medians);
    const QPointF origin(40, 82);
    for (int digit = 1; digit <= kKeypadDigits; ++digit) {
        const DigitFigures& d = in.digit(digit);
        const QRectF r = keyRect(digit, origin, 66, 6);
        keyFrame(p, r, d.medianMs ? mix(kFast, kSlow, scale->at(*d.medianMs)) : kNoFigure);
        chart::text(p, r.left() + 6, r.top() + 17, QString::number(digit), pixelFont(16), rowColor(digit));
        if (!d.medianMs) {
            // Too few keys for a figure: how many there are so far.
            chart::text(p, r.center().x(), r.top() + 40, u8("—"), pixelFont(18), chart::kMist, Qt::AlignHCenter);
            chart::text(p, r.center().x(), r.top() + 58, u8("%1 キー").arg(grouped(d.keys)), pixelFont(12),
                        chart::kMist, Qt::AlignHCenter);
            continue;
        }
        chart::text(p, r.right() - 6, r.top() + 40, grouped(*d.medianMs) + u8(" ms"), pixelFont(15), chart::kPaper,
                    Qt::AlignRight);
        chart::text(p, r.right() - 6, r.top() + 58, percent(*d.accuracy), pixelFont(12), chart::kPaper,
                    Qt::AlignRight);
    }

    const double x = 276;
    const QFont body = pixelFont(13);
    const QFont small = pixelFont(12);
    chart::text(p, x, 98, u8("キーの上: 反応時間（中央値）と正確さ"), body, chart::kPaper);
    chart::text(p, x, 120, u8("反応時間 = 前の正しいキーから、この数字を"), small, chart::kMist);
    chart::text(p, x, 136, u8("正しく打つまで（ミリ秒・低いほど速い）"), small, chart::kMist);
    chart::text(p, x, 156, u8("正確さ = この数字のときに打ったキーのうち正解"), small, chart::kMist);
    // The shading, fast to slow.
    scaleBar(p, x, scale);
    chart::text(p, x, 230, u8("— = その数字のキーが %1 回未満").arg(kInsightMinKeys), small, chart::kMist);
    chart::text(p, x, 246, u8("5 キー: ノーマル／ハード／練習を切り替え"), small, chart::kCyan);
    chart::text(p, x, 262, u8("直近 %1 ゲームの %2").arg(kInsightGames).arg(modeName(mode)), small, modeColor(mode));
    chart::text(p, x, 278, u8("8 キー: 苦手特訓（遅い数字ほど多く出る練習）"), small, chart::kPractice);
    chart::text(p, x, 294,
                choosingDigit ? u8("1〜9 キーで数字を選ぶ（0 キーでやめる）") : u8("7 キー → 1〜9: その数字の特訓"),
                small, choosingDigit ? chart::kYellow : chart::kPractice);

    const std::optional<int> slow = slowestDigit(in);
    const std::optional<int> wrong = leastAccurateDigit(in);
    QString sentence = u8("まだ数字が足りません（どの数字も %1 回未満）。").arg(kInsightMinKeys);
    if (slow && wrong)
        sentence = u8("いちばん遅いのは %1（%2 ミリ秒）、いちばん間違えやすいのは %3（正確さ %4）。")
                       .arg(*slow)
                       .arg(grouped(*in.digit(*slow).medianMs))
                       .arg(*wrong)
                       .arg(percent(*in.digit(*wrong).accuracy));
    chart::text(p, 24, kSentenceBaseline, sentence, body, chart::kYellow);
}

// One cell of a misses grid: shaded by its count against the most, the
// count written `inset` above its bottom in black or white as the shade needs.
void missCell(QPainter& p, const QRectF& r, int n, int most, bool diagonal, double inset, const QFont& font)
{
    QColor fill = diagonal ? QColor(0x18, 0x18, 0x24) : QColor(0x24, 0x24, 0x3C);
    if (n > 0)
        fill = mix(gamePalette().fewMisses, gamePalette().mostMisses, n / double(std::max(1, most)));
    p.setPen(QPen(QColor(0x60, 0x58, 0x40), 1));
    p.setBrush(fill);
    p.drawRect(r);
    if (n > 0)
        chart::text(p, r.center().x(), r.bottom() - inset, grouped(n), font, chart::readableOn(fill), Qt::AlignHCenter);
}

void drawMisses(QPainter& p, const KeypadInsight& in, int mode)
{
    source(p, in.games, in.keys, modeColor(mode));
    int most = 0, all = 0;
    for (const auto& row : in.misses) {
        for (int n : row) {
            most = std::max(most, n);
            all += n;
        }
    }
    const double cell = 22;
    const QPointF origin(84, 104);
    const QFont small = pixelFont(12);
    chart::text(p, origin.x() + cell * 4.5, 84, u8("押したキー"), small, chart::kMist, Qt::AlignHCenter);
    for (int i = 1; i <= kKeypadDigits; ++i) {
        const double c = origin.x() + cell * (i - 0.5);
        chart::text(p, c, origin.y() - 5, QString::number(i), small, rowColor(i), Qt::AlignHCenter);
        chart::text(p, origin.x() - 8, origin.y() + cell * i - 6, QString::number(i), small, rowColor(i),
                    Qt::AlignRight);
    }
    // The row heading, one character a line down the left edge.
    const QString shown = u8("出ていた数字");
    for (int i = 0; i < shown.size(); ++i)
        chart::text(p, 36, origin.y() + 40 + i * 16, shown.mid(i, 1), small, chart::kMist, Qt::AlignHCenter);
    for (int s = 1; s <= kKeypadDigits; ++s) {
        for (int d = 1; d <= kKeypadDigits; ++d) {
            const QRectF r(origin.x() + cell * (d - 1), origin.y() + cell * (s - 1), cell, cell);
            missCell(p, r, in.missCount(s, d), most, s == d, 6, small);
        }
    }

    const double x = 312;
    const QFont body = pixelFont(13);
    chart::text(p, x, 104, u8("多い打ち間違い"), body, chart::kPaper);
    const std::vector<Miss> top = topMisses(in);
    // No keys at all is no record yet, not a clean one.
    if (top.empty())
        chart::text(p, x, 132, in.keys == 0 ? u8("まだ記録がありません") : u8("打ち間違いはありません"), pixelFont(15),
                    chart::kYellow);
    for (size_t i = 0; i < top.size(); ++i) {
        chart::text(p, x, 132 + 26 * static_cast<double>(i),
                    u8("%1 のときに %2: %3 回").arg(top[i].shown).arg(top[i].pressed).arg(grouped(top[i].count)),
                    pixelFont(16), chart::kYellow);
    }
    chart::text(p, x, 226, u8("打ち間違い %1 回（打ったキー %2 回のうち）").arg(grouped(all), grouped(in.keys)),
                pixelFont(12), chart::kMist);
    chart::text(p, x, 248, u8("縦: 出ていた数字　横: 押したキー"), small, chart::kMist);
    chart::text(p, x, 270, u8("5 キー: ノーマル／ハード／練習を切り替え"), small, chart::kCyan);
    chart::text(p, x, 292, u8("直近 %1 ゲームの %2").arg(kInsightGames).arg(modeName(mode)), small, modeColor(mode));
}

// The slow moves' keypad: keys apart enough for arrows to run between them.
const QPointF kMovesOrigin(44, 96);
constexpr double kMoveKey = 48;
constexpr double kMoveGap = 20;
constexpr double kArrowInset = 18;     // an arrow starts and ends this far from a key's centre
constexpr double kLoopRadius = 10;     // a move to itself: a ring inside the key
constexpr double kLabelRadius = 8;
const QPointF kLoopShift(3, 5);        // the ring's centre from the key's, clear of the digit

std::vector<QPointF> samples(const QPainterPath& path)
{
    std::vector<QPointF> points;
    const double length = path.length();
    const int steps = std::max(2, static_cast<int>(length / 2));
    for (int i = 0; i <= steps; ++i)
        points.push_back(path.pointAtPercent(static_cast<double>(i) / steps));
    return points;
}

double distanceTo(const QPointF& point, const std::vector<QPointF>& line)
{
    double best = 1e9;
    for (const QPointF& q : line)
        best = std::min(best, std::hypot(point.x() - q.x(), point.y() - q.y()));
    return best;
}

// The longest stretch of `a` that runs along `b` (within 3.5 px): a
// crossing is short, an arrow laid over another is long.
double sharedRun(const std::vector<QPointF>& a, const std::vector<QPointF>& b)
{
    double longest = 0, run = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (distanceTo(a[i], b) < 3.5) {
            if (i > 0)
                run += std::hypot(a[i].x() - a[i - 1].x(), a[i].y() - a[i - 1].y());
            longest = std::max(longest, run);
        } else {
            run = 0;
        }
    }
    return longest;
}

QPainterPath loopPath(const QRectF& key)
{
    QPainterPath ring;
    ring.addEllipse(key.center() + kLoopShift, kLoopRadius, kLoopRadius);
    return ring;
}

// An arrow's shape: straight, in a lane to one side, or bowed round the
// keys between its ends.
QPainterPath arrowPath(const QRectF& from, const QRectF& to, double offset, double bow)
{
    const QPointF a = from.center();
    const QPointF b = to.center();
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    const QPointF unit = d / length;
    const QPointF normal(-unit.y(), unit.x());
    const QPointF start = a + unit * kArrowInset + normal * offset;
    const QPointF end = b - unit * kArrowInset + normal * offset;
    QPainterPath path(start);
    if (bow == 0)
        path.lineTo(end);
    else
        path.quadTo((start + end) / 2 + normal * bow, end);
    return path;
}

// An arrow from one key to another (or a ring inside a key), its number in a circle.
void moveArrow(QPainter& p, const MoveArrow& arrow, int number, const QColor& color)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(arrow.path);
    QPainterPath head;
    if (!arrow.toItself) {
        const double length = arrow.path.length();
        const QPointF end = arrow.path.pointAtPercent(1);
        const QPointF before = arrow.path.pointAtPercent(arrow.path.percentAtLength(std::max(0.0, length - 4)));
        const QPointF d = end - before;
        const QPointF unit = d / std::max(0.001, std::hypot(d.x(), d.y()));
        const QPointF normal(-unit.y(), unit.x());
        head.moveTo(end);
        head.lineTo(end - unit * 9 + normal * 5);
        head.lineTo(end - unit * 9 - normal * 5);
    } else {
        // The ring's way round: a small head on its right side, pointing down.
        const QPointF side = arrow.label + QPointF(kLoopRadius, 0);
        head.moveTo(side + QPointF(0, 4));
        head.lineTo(side + QPointF(-4, -3));
        head.lineTo(side + QPointF(4, -3));
    }
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head);
    if (!arrow.toItself) {
        p.setPen(QPen(color, 1));
        p.setBrush(QColor(0x10, 0x10, 0x20));
        p.drawEllipse(arrow.label, kLabelRadius, kLabelRadius);
    }
    chart::text(p, arrow.label.x(), arrow.label.y() + 4.5, QString::number(number), pixelFont(12), chart::kPaper,
                Qt::AlignHCenter);
}

void drawMoves(QPainter& p, const KeypadInsight& in, int mode)
{
    source(p, in.games, in.keys, modeColor(mode));
    for (int digit = 1; digit <= kKeypadDigits; ++digit) {
        const QRectF r = moveKeyRect(digit);
        keyFrame(p, r, QColor(0x20, 0x20, 0x38));
        chart::text(p, r.left() + 5, r.top() + 16, QString::number(digit), pixelFont(15), rowColor(digit));
    }
    const auto& colors = gamePalette().moveArrows;
    const std::vector<MoveArrow> arrows = moveArrows(in.slowMoves);
    // The slowest last, on top.
    for (size_t i = arrows.size(); i-- > 0;)
        moveArrow(p, arrows[i], static_cast<int>(i) + 1, colors[i]);

    const double x = 290;
    chart::text(p, x, 100, u8("遅い指運び（前の数字 → 次の数字）"), pixelFont(13), chart::kPaper);
    if (in.slowMoves.empty())
        chart::text(p, x, 130, u8("まだ数字が足りません"), pixelFont(15), chart::kMist);
    for (size_t i = 0; i < in.slowMoves.size(); ++i) {
        const Move& m = in.slowMoves[i];
        const double y = 130 + 26 * static_cast<double>(i);
        chart::text(p, x, y, u8("%1.  %2 → %3").arg(i + 1).arg(m.from).arg(m.to), pixelFont(16), colors[i]);
        chart::text(p, kRight, y, u8("%1 ミリ秒（%2 回）").arg(grouped(m.medianMs), grouped(m.count)), pixelFont(14),
                    chart::kPaper, Qt::AlignRight);
    }
    chart::text(p, x, 252, u8("8 キー: 指運び特訓（この指運びが多く出る）"), pixelFont(12), chart::kPractice);
    chart::text(p, x, 270, u8("中央値の時間、%1 回以上あった指運びから").arg(kMinMoveCount), pixelFont(12),
                chart::kMist);
    chart::text(p, x, 290, u8("5 キー: ノーマル／ハード／練習を切り替え"), pixelFont(12), chart::kCyan);
    chart::text(p, x, 310, u8("直近 %1 ゲームの %2").arg(kInsightGames).arg(modeName(mode)), pixelFont(12),
                modeColor(mode));
}

// 数字入力's pages: the keypad as it is, 0 wide along the bottom, '.' beside
// it, Enter two rows tall on the right.
QRectF entryKeyRect(int key, const QPointF& origin, double w, double h, double gap)
{
    const auto cell = [&](int column, int row, int columns, int rows) {
        return QRectF(origin.x() + column * (w + gap), origin.y() + row * (h + gap), w * columns + gap * (columns - 1),
                      h * rows + gap * (rows - 1));
    };
    if (key == 0)
        return cell(0, 3, 2, 1);
    if (key == kEntryPoint)
        return cell(2, 3, 1, 1);
    if (key == kEntryEnter)
        return cell(3, 2, 1, 2);
    return cell((key - 1) % 3, 2 - (key - 1) / 3, 1, 1);
}

QColor entryKeyColor(int key)
{
    return key >= 1 && key <= kKeypadDigits ? rowColor(key) : chart::kMist;
}

const char* const kEntryModeHint = "5 キー: ノーマル／ハード／練習／数字入力";

// A page with nothing to draw in this mode says so.
void nothingToDraw(QPainter& p, const QString& line)
{
    chart::text(p, 297, 180, line, pixelFont(20), chart::kPaper, Qt::AlignHCenter);
    chart::text(p, 297, 230, u8(kEntryModeHint), pixelFont(12), chart::kCyan, Qt::AlignHCenter);
}

void drawEntryKeypad(QPainter& p, const EntryKeypad& in)
{
    const int mode = kEntryMode;
    source(p, in.games, in.keys, modeColor(mode));
    std::optional<int> slowest, slowKey, wrongKey;
    for (int key = 0; key < kEntryPadKeys; ++key) {
        const DigitFigures& f = in.key(key);
        if (!f.medianMs)
            continue;
        if (!slowest || *f.medianMs > *slowest) {
            slowest = *f.medianMs;
            slowKey = key;
        }
        if (!wrongKey || *f.accuracy < *in.key(*wrongKey).accuracy)
            wrongKey = key;
    }
    std::vector<int> medians;
    for (int key = 0; key < kEntryPadKeys; ++key)
        if (in.key(key).medianMs)
            medians.push_back(*in.key(key).medianMs);
    const std::optional<KeypadScale> scale = keypadScale(medians);
    const QPointF origin(40, 82);
    for (int key = 0; key < kEntryPadKeys; ++key) {
        const DigitFigures& f = in.key(key);
        const QRectF r = entryKeyRect(key, origin, 56, 48, 4);
        keyFrame(p, r, f.medianMs ? mix(kFast, kSlow, scale->at(*f.medianMs)) : kNoFigure);
        // The point is a speck at the digits' size: drawn larger.
        chart::text(p, r.left() + 5, r.top() + 15, entryKeyLabel(key), pixelFont(key == kEntryPoint ? 40 : 14),
                    entryKeyColor(key));
        const double bottom = r.bottom() - 48;  // the figures sit in the key's lowest row
        if (!f.medianMs) {
            chart::text(p, r.center().x(), bottom + 38, u8("—"), pixelFont(16), chart::kMist, Qt::AlignHCenter);
            continue;
        }
        chart::text(p, r.right() - 5, bottom + 31, grouped(*f.medianMs) + u8(" ms"), pixelFont(13), chart::kPaper,
                    Qt::AlignRight);
        chart::text(p, r.right() - 5, bottom + 44, percent(*f.accuracy), pixelFont(12), chart::kPaper,
                    Qt::AlignRight);
    }

    const double x = 292;
    const QFont body = pixelFont(13);
    const QFont small = pixelFont(12);
    chart::text(p, x, 98, u8("キーの上: かかった時間（中央値）と正確さ"), body, chart::kPaper);
    chart::text(p, x, 120, u8("時間 = 前のキーから、このキーを"), small, chart::kMist);
    chart::text(p, x, 136, u8("正しく打つまで（ミリ秒・低いほど速い）"), small, chart::kMist);
    chart::text(p, x, 156, u8("正確さ = このキーの番に打ったキーのうち正解"), small, chart::kMist);
    scaleBar(p, x, scale);
    chart::text(p, x, 231, u8("— = そのキーの番が %1 回未満").arg(kInsightMinKeys), small, chart::kMist);
    chart::text(p, x, 248, u8(kEntryModeHint), small, chart::kCyan);
    chart::text(p, x, 266, u8("直近 %1 回の%2テスト").arg(kInsightGames).arg(modeName(mode)), small,
                modeColor(mode));

    QString sentence = u8("まだ数字が足りません（どのキーも %1 回未満）。").arg(kInsightMinKeys);
    if (slowKey && wrongKey)
        sentence = u8("いちばん遅いのは %1（%2 ミリ秒）、いちばん間違えやすいのは %3（正確さ %4）。")
                       .arg(entryKeyLabel(*slowKey), grouped(*slowest), entryKeyLabel(*wrongKey),
                            percent(*in.key(*wrongKey).accuracy));
    chart::text(p, 24, kSentenceBaseline, sentence, body, chart::kYellow);
}

void drawEntryMisses(QPainter& p, const EntryKeypad& in)
{
    const int mode = kEntryMode;
    source(p, in.games, in.keys, modeColor(mode));
    int most = 0, all = 0;
    for (const auto& row : in.misses) {
        for (int n : row) {
            most = std::max(most, n);
            all += n;
        }
    }
    const double cell = 17;
    const QPointF origin(84, 104);
    const QFont small = pixelFont(12);
    // Enter is "E" along the top, where a column is narrow.
    const auto columnLabel = [](int key) { return key == kEntryEnter ? QStringLiteral("E") : entryKeyLabel(key); };
    chart::text(p, origin.x() + cell * kEntryPadKeys / 2, 84, u8("押したキー"), small, chart::kMist,
                Qt::AlignHCenter);
    for (int i = 0; i < kEntryPadKeys; ++i) {
        const QFont label = i == kEntryPoint ? pixelFont(22) : small;  // the point, larger to be seen
        chart::text(p, origin.x() + cell * (i + 0.5), origin.y() - 5, columnLabel(i), label, entryKeyColor(i),
                    Qt::AlignHCenter);
        chart::text(p, origin.x() - 6, origin.y() + cell * (i + 1) - 4, entryKeyLabel(i), label, entryKeyColor(i),
                    Qt::AlignRight);
    }
    const QString wanted = u8("打つはずのキー");
    for (int i = 0; i < wanted.size(); ++i)
        chart::text(p, 26, origin.y() + 40 + i * 16, wanted.mid(i, 1), small, chart::kMist, Qt::AlignHCenter);
    for (int w = 0; w < kEntryPadKeys; ++w) {
        for (int s = 0; s < kEntryPadKeys; ++s) {
            const QRectF r(origin.x() + cell * s, origin.y() + cell * w, cell, cell);
            missCell(p, r, in.missCount(w, s), most, w == s, 4, small);
        }
    }

    const double x = 312;
    const QFont body = pixelFont(13);
    chart::text(p, x, 104, u8("多い打ち間違い"), body, chart::kPaper);
    const std::vector<EntryMiss> top = topEntryMisses(in, kTopMissCount);
    if (top.empty())
        chart::text(p, x, 132, u8("打ち間違いはありません"), pixelFont(15), chart::kYellow);
    for (size_t i = 0; i < top.size(); ++i) {
        chart::text(p, x, 132 + 26 * static_cast<double>(i),
                    u8("%1 のときに %2: %3 回")
                        .arg(entryKeyLabel(top[i].wanted), entryKeyLabel(top[i].struck), grouped(top[i].count)),
                    pixelFont(16), chart::kYellow);
    }
    chart::text(p, x, 226, u8("打ち間違い %1 回（打ったキー %2 回のうち）").arg(grouped(all), grouped(in.keys)),
                small, chart::kMist);
    chart::text(p, x, 248, u8("縦: 打つはずのキー　横: 押したキー（E = Enter）"), small, chart::kMist);
    chart::text(p, x, 270, u8(kEntryModeHint), small, chart::kCyan);
    chart::text(p, x, 292, u8("直近 %1 回の%2テスト").arg(kInsightGames).arg(modeName(mode)), small,
                modeColor(mode));
}

// 数字入力 tests as a line of their own across the chart, oldest to latest:
// net keystrokes per hour, its own colour and legend line.
void drawEntrySpeeds(QPainter& p, const std::vector<EntrySpeedPoint>& tests, const QRectF& plot,
                     const std::function<double(double)>& yOf, double legendBaseline)
{
    const size_t n = tests.size();
    if (std::none_of(tests.begin(), tests.end(), [](const EntrySpeedPoint& e) { return e.netKph.has_value(); }))
        return;
    const auto xOf = [&](size_t i) {
        return n > 1 ? plot.left() + plot.width() * static_cast<double>(i) / static_cast<double>(n - 1)
                     : plot.center().x();
    };
    QPainterPath path;
    bool drawing = false;
    for (size_t i = 0; i < n; ++i) {
        if (!tests[i].netKph) {
            drawing = false;
            continue;
        }
        const QPointF pt(xOf(i), yOf(*tests[i].netKph));
        drawing ? path.lineTo(pt) : path.moveTo(pt);
        drawing = true;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(chart::kEntry, 1.4));
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(chart::kEntry);
    for (size_t i = 0; i < n; ++i) {
        if (tests[i].netKph)
            p.drawRect(QRectF(xOf(i) - 3, yOf(*tests[i].netKph) - 3, 6, 6));  // squares: not a game's dot
    }
    const std::vector<chart::Series> legend = {{u8("数字入力（正味・%1 回）").arg(n), chart::kEntry, {}}};
    chart::legend(p, kRight, legendBaseline, legend, pixelFont(12));
}

// The band at the top of the plot where the legends and the newest game's
// line stand: every value is drawn below it.
constexpr double kSpeedLegendBand = 30;
constexpr double kSpeedPointRadius = 3.5;

void drawSpeed(QPainter& p, const InsightData& data, int mode)
{
    const std::optional<double> best = data.bestKph.at(static_cast<size_t>(std::clamp(mode, 0, kModes - 1)));
    int keys = 0;
    for (const SpeedPoint& s : data.speeds)
        keys += s.speed.keys;
    source(p, static_cast<int>(data.speeds.size()), keys, chart::kMist);
    const SpeedLayout layout = speedLayout(data, mode);
    const QRectF plot = layout.plot;
    const chart::Axis& y = layout.y;
    const auto yOf = [&](double v) { return plot.bottom() - (v - y.low) / (y.high - y.low) * plot.height(); };
    const QFont small = pixelFont(12);
    for (double v = y.low; v <= y.high + y.step / 1000; v += y.step) {
        const double py = std::round(yOf(v)) + 0.5;
        p.setPen(QPen(QColor(0xE6, 0xBE, 0x5A, v == y.low ? 170 : 40), 1));
        p.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
        chart::text(p, plot.left() - 6, py + 4, grouped(std::lround(v)), small, chart::kMist, Qt::AlignRight);
    }
    // The data-entry guides.
    const char* const guides[3] = {"目安 8,000", "良い 10,000", "速い 12,000"};
    const int guideValues[3] = {8000, 10000, 12000};
    for (int i = 0; i < 3; ++i) {
        const double py = std::round(yOf(guideValues[i])) + 0.5;
        p.setPen(QPen(chart::kCyan, 1, Qt::DashLine));
        p.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
        chart::text(p, plot.right() + 6, py + 4, u8(guides[i]), small, chart::kCyan);
    }

    const size_t n = data.speeds.size();
    const auto xOf = [&](size_t i) {
        return n > 1 ? plot.left() + plot.width() * static_cast<double>(i) / static_cast<double>(n - 1)
                     : plot.center().x();
    };
    // A line of each mode's own games in its colour, as the legend shows it.
    for (int m = 0; m < kGameModes; ++m) {
        QPainterPath path;
        bool drawing = false;
        for (size_t i = 0; i < n; ++i) {
            const std::optional<double>& kph = data.speeds[i].speed.keysPerHour;
            if (!kph || modeIndex(data.speeds[i].mode) != m)
                continue;  // the line runs on past another mode's game
            const QPointF pt(xOf(i), yOf(*kph));
            drawing ? path.lineTo(pt) : path.moveTo(pt);
            drawing = true;
        }
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(modeColor(m), 1.4));
        p.drawPath(path);
    }
    for (size_t i = 0; i < n; ++i) {
        const SpeedPoint& s = data.speeds[i];
        if (!s.speed.keysPerHour)
            continue;
        p.setPen(Qt::NoPen);
        p.setBrush(modeColor(static_cast<int>(s.mode)));
        p.drawEllipse(QPointF(xOf(i), yOf(*s.speed.keysPerHour)), kSpeedPointRadius, kSpeedPointRadius);
    }

    // Accuracy under each game: a bar from 80 % up to 100 %, 98 % marked.
    const QRectF strip(plot.left(), 252, plot.width(), 30);
    const double floorShare = 0.8;
    const auto stripY = [&](double share) {
        return strip.bottom() - (std::clamp(share, floorShare, 1.0) - floorShare) / (1 - floorShare) * strip.height();
    };
    chart::text(p, plot.left() - 6, strip.top() + 10, u8("正確さ"), small, chart::kMist, Qt::AlignRight);
    chart::text(p, plot.left() - 6, strip.bottom(), u8("80 %"), small, chart::kMist, Qt::AlignRight);
    p.setPen(QPen(QColor(0xE6, 0xBE, 0x5A, 170), 1));
    p.drawLine(QPointF(strip.left(), strip.bottom() + 0.5), QPointF(strip.right(), strip.bottom() + 0.5));
    const double barWidth = std::clamp(strip.width() / std::max<double>(1, static_cast<double>(n)) - 2, 2.0, 8.0);
    for (size_t i = 0; i < n; ++i) {
        const std::optional<double>& share = data.speeds[i].speed.accuracy;
        if (!share)
            continue;
        const double top = stripY(*share);
        p.setPen(Qt::NoPen);
        p.setBrush(modeColor(static_cast<int>(data.speeds[i].mode)));
        p.drawRect(QRectF(xOf(i) - barWidth / 2, top, barWidth, std::max(1.0, strip.bottom() - top)));
    }
    // The accuracy data entry asks for, a guide as the dashed lines above.
    const double target = std::round(stripY(0.98)) + 0.5;
    p.setPen(QPen(chart::kCyan, 1, Qt::DashLine));
    p.drawLine(QPointF(strip.left(), target), QPointF(strip.right(), target));
    chart::text(p, strip.right() + 6, target + 4, u8("目安 98 %"), small, chart::kCyan);
    if (n > 1) {
        chart::text(p, plot.left(), strip.bottom() + 16, u8("%1ゲーム前").arg(n - 1), small, chart::kMist);
        chart::text(p, plot.right(), strip.bottom() + 16, u8("最新"), small, chart::kMist, Qt::AlignRight);
    }
    chart::text(p, 24, kSentenceBaseline + 8,
                u8("正しく打ったキー × 3600 ÷ 秒。1 桁ずつ打つこのゲームの値で、点線はデータ入力の目安"), small,
                chart::kMist);
    const double band = layout.legend.top();
    if (n > 0 && data.speeds.back().speed.keysPerHour && data.speeds.back().speed.accuracy) {
        const GameSpeed& last = data.speeds.back().speed;
        chart::text(p, plot.left() + 6, band + 16,
                    u8("最新: %1 打鍵/時・正確さ %2").arg(grouped(std::lround(*last.keysPerHour)), percent(*last.accuracy)),
                    small, chart::kPaper);
    }
    const std::vector<chart::Series> legend = {
        {u8("ノーマル"), chart::kNormal, {}}, {u8("ハード"), chart::kHard, {}}, {u8("練習"), chart::kPractice, {}}};
    chart::legend(p, kRight, band + 10, legend, small);
    drawEntrySpeeds(p, data.entrySpeeds, plot, yOf, band + 26);
    if (best) {  // the shown mode's best of the whole history, to beat
        const double py = std::round(yOf(*best)) + 0.5;
        p.setPen(QPen(modeColor(mode), 1, Qt::DashLine));
        p.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
        // Under the line, or over it where a guide would strike the words
        // through (and the latest game's figures at the top are clear).
        double baseline = py + 14;
        const auto struck = [&](double b) {
            return std::any_of(std::begin(guideValues), std::end(guideValues), [&](int v) {
                return std::abs(yOf(v) - (b - 5)) < 8;
            });
        };
        if (struck(baseline) && !struck(py - 4) && py - 16 > layout.legend.bottom())
            baseline = py - 4;
        const QString words = u8("%1のベスト %2（5 キーで切替）").arg(modeName(mode), grouped(std::lround(*best)));
        // On a dark plate: the games near the best lie right where the
        // words go. The plate keeps off the line itself and the guides.
        const QFontMetricsF metrics(small);
        const double right = plot.right() - 4;
        QRectF plate(right - metrics.horizontalAdvance(words) - 3, baseline - metrics.ascent() - 1,
                     metrics.horizontalAdvance(words) + 6, metrics.ascent() + metrics.descent() + 2);
        if (baseline < py)
            plate.setBottom(std::min(plate.bottom(), py - 1.5));
        else
            plate.setTop(std::max(plate.top(), py + 1.5));
        QRegion under(plate.toAlignedRect());
        for (const int v : guideValues)
            under -= QRect(qFloor(plot.left()), qRound(yOf(v)), qCeil(plot.width()) + 1, 1);
        p.save();
        p.setClipRegion(under);
        p.fillRect(plate, kBestPlate);
        p.restore();
        chart::text(p, right, baseline, words, small, modeColor(mode), Qt::AlignRight);
    }
}
}  // namespace

double KeypadScale::at(int ms) const
{
    return std::clamp((ms - fastMs) / static_cast<double>(slowMs - fastMs), 0.0, 1.0);
}

std::optional<KeypadScale> keypadScale(const std::vector<int>& medians)
{
    if (medians.empty())
        return std::nullopt;
    const auto [fast, slow] = std::minmax_element(medians.begin(), medians.end());
    return KeypadScale{*fast, std::max(*slow, *fast + kScaleMinSpanMs)};
}

QRectF moveKeyRect(int digit)
{
    return keyRect(digit, kMovesOrigin, kMoveKey, kMoveGap);
}

namespace {
// Where a key's digit is written, kept clear of arrows and numbers.
QRectF digitCorner(int digit)
{
    const QRectF key = moveKeyRect(digit);
    return QRectF(key.left() + 3, key.top() + 2, 14, 17);
}
}  // namespace

std::vector<MoveArrow> moveArrows(const std::vector<Move>& moves)
{
    std::vector<MoveArrow> arrows(moves.size());
    std::vector<std::vector<QPointF>> placed(moves.size());
    // Moves to themselves first: their rings are fixed, the arrows keep off them.
    std::vector<QPointF> labels;
    for (size_t i = 0; i < moves.size(); ++i) {
        if (moves[i].from != moves[i].to)
            continue;
        const QRectF key = moveKeyRect(moves[i].from);
        arrows[i] = {loopPath(key), key.center() + kLoopShift, true};
        placed[i] = samples(arrows[i].path);
        labels.push_back(arrows[i].label);
    }
    // Each arrow takes the first shape that runs along no arrow placed
    // before it and keeps off every key's middle: its lane, a lane further
    // out, then bowed round.
    const std::pair<double, double> shapes[] = {{9, 0},  {17, 0},  {27, 0}, {9, 30},
                                                {9, -30}, {9, 48}, {9, -48}};
    for (size_t i = 0; i < moves.size(); ++i) {
        if (moves[i].from == moves[i].to)
            continue;
        double best = 1e18;
        for (size_t k = 0; k < std::size(shapes); ++k) {
            const QPainterPath path =
                arrowPath(moveKeyRect(moves[i].from), moveKeyRect(moves[i].to), shapes[k].first, shapes[k].second);
            const std::vector<QPointF> points = samples(path);
            double cost = static_cast<double>(k);
            for (size_t j = 0; j < moves.size(); ++j)
                if (!placed[j].empty())
                    cost += 1000 * std::max(0.0, sharedRun(points, placed[j]) - 6);
            for (int digit = 1; digit <= kKeypadDigits; ++digit) {
                if (distanceTo(moveKeyRect(digit).center() + kLoopShift, points) < kLoopRadius + 3)
                    cost += 100;
                const QRectF written = digitCorner(digit);
                cost += 5 * static_cast<double>(std::count_if(points.begin(), points.end(),
                                                              [&](const QPointF& q) { return written.contains(q); }));
            }
            if (cost < best) {
                best = cost;
                arrows[i].path = path;
                placed[i] = points;
            }
        }
    }
    // Numbers: halfway if free there, else further along, clear of the other
    // numbers, the rings and the other arrows.
    for (size_t i = 0; i < moves.size(); ++i) {
        if (arrows[i].toItself)
            continue;
        const QPainterPath& path = arrows[i].path;
        double best = 1e18;
        // On the arrow first, beside it when the arrow's whole length is taken.
        for (int step = 0; step < 3 * 15; ++step) {
            const double t = 0.15 + 0.05 * (step % 15);
            const double aside = (step / 15 == 0 ? 0 : step / 15 == 1 ? 1 : -1) * (kLabelRadius + 3);
            const double at = path.percentAtLength(path.length() * t);
            const QPointF tangent(std::cos(path.angleAtPercent(at) * M_PI / 180),
                                  -std::sin(path.angleAtPercent(at) * M_PI / 180));
            const QPointF c = path.pointAtPercent(at) + QPointF(-tangent.y(), tangent.x()) * aside;
            double cost = std::abs(t - 0.5) + std::abs(aside) / 10;
            for (const QPointF& other : labels)
                if (std::hypot(c.x() - other.x(), c.y() - other.y()) < 2 * kLabelRadius + 2)
                    cost += 100;
            for (size_t j = 0; j < moves.size(); ++j)
                if (j != i && distanceTo(c, placed[j]) < kLabelRadius + 1)
                    cost += 10;
            for (int digit = 1; digit <= kKeypadDigits; ++digit)
                if (digitCorner(digit).adjusted(-kLabelRadius, -kLabelRadius, kLabelRadius, kLabelRadius).contains(c))
                    cost += 50;
            if (cost < best) {
                best = cost;
                arrows[i].label = c;
            }
        }
        labels.push_back(arrows[i].label);
    }
    return arrows;
}

SpeedLayout speedLayout(const InsightData& data, int mode)
{
    SpeedLayout layout;
    layout.plot = QRectF(84, 86, 404, 150);
    layout.legend = QRectF(layout.plot.left(), layout.plot.top(), kRight - layout.plot.left(), kSpeedLegendBand);
    double high = std::max(13000.0, data.bestKph.at(static_cast<size_t>(std::clamp(mode, 0, kModes - 1))).value_or(0));
    for (const SpeedPoint& s : data.speeds)
        high = std::max(high, s.speed.keysPerHour.value_or(0));
    for (const EntrySpeedPoint& e : data.entrySpeeds)
        high = std::max(high, e.netKph.value_or(0));
    // Headroom: the highest value stands a point's width below the band.
    const double lowest = layout.legend.bottom() + kSpeedPointRadius + 2;
    const double share = (layout.plot.bottom() - lowest) / layout.plot.height();
    layout.y = chart::niceAxis(0, high / share, 4, true);
    const size_t n = data.speeds.size();
    if (n > 0 && data.speeds.back().speed.keysPerHour) {
        const double x = n > 1 ? layout.plot.right() : layout.plot.center().x();
        const double v = *data.speeds.back().speed.keysPerHour;
        layout.newest = QPointF(x, layout.plot.bottom() - (v - layout.y.low) / (layout.y.high - layout.y.low) *
                                                               layout.plot.height());
    }
    return layout;
}

QString heading(Page page, int mode)
{
    switch (page) {
    case Page::Keypad: return u8("テンキー分析（%1）").arg(modeName(mode));
    case Page::Misses: return u8("打ち間違い（%1）").arg(modeName(mode));
    case Page::Moves: return u8("苦手な指運び（%1）").arg(modeName(mode));
    case Page::Speed: return u8("打鍵速度 (KPH)　1時間あたりの打鍵数");
    }
    return QString();
}

void draw(QPainter& p, Page page, const InsightData& data, int mode, bool choosingDigit)
{
    if (page == Page::Speed) {  // every mode on one chart, the shown mode's best
        drawSpeed(p, data, mode);
        return;
    }
    if (mode == kEntryMode) {
        const EntryKeypad& entry = data.entryKeypad;
        if (entry.games == 0)
            nothingToDraw(p, u8("まだ記録がありません"));
        else if (page == Page::Keypad)
            drawEntryKeypad(p, entry);
        else if (page == Page::Misses)
            drawEntryMisses(p, entry);
        else
            nothingToDraw(p, u8("数字入力では指運びを数えていません"));
        return;
    }
    const KeypadInsight& in = data.keypad.at(static_cast<size_t>(mode));
    switch (page) {
    case Page::Keypad: drawKeypad(p, in, mode, choosingDigit); break;
    case Page::Misses: drawMisses(p, in, mode); break;
    case Page::Moves: drawMoves(p, in, mode); break;
    case Page::Speed: break;
    }
}

}  // namespace insight
