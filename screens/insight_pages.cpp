// The insight pages, drawn in design pixels; nothing on them is smaller
// than 12 px at zoom 1.
#include "screens/insight_pages.h"

#include "platform/controls.h"
#include "screens/progress_charts.h"

#include <QLinearGradient>
#include <QLocale>
#include <QPainterPath>
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

void drawKeypad(QPainter& p, const KeypadInsight& in, int mode, bool choosingDigit)
{
    source(p, in.games, in.keys, modeColor(mode));
    int fastest = 0, slowest = 0;
    bool any = false;
    for (const DigitFigures& d : in.digits) {
        if (!d.medianMs)
            continue;
        fastest = any ? std::min(fastest, *d.medianMs) : *d.medianMs;
        slowest = any ? std::max(slowest, *d.medianMs) : *d.medianMs;
        any = true;
    }
    const QPointF origin(40, 82);
    for (int digit = 1; digit <= kKeypadDigits; ++digit) {
        const DigitFigures& d = in.digit(digit);
        const QRectF r = keyRect(digit, origin, 66, 6);
        const double t = slowest > fastest && d.medianMs ? (*d.medianMs - fastest) / double(slowest - fastest) : 0;
        keyFrame(p, r, d.medianMs ? mix(kFast, kSlow, t) : kNoFigure);
        chart::text(p, r.left() + 6, r.top() + 17, QString::number(digit), pixelFont(16), rowColor(digit));
        if (!d.medianMs) {
            chart::text(p, r.center().x(), r.top() + 44, u8("—"), pixelFont(18), chart::kMist, Qt::AlignHCenter);
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
    const QRectF scale(x, 172, 200, 12);
    QLinearGradient g(scale.topLeft(), scale.topRight());
    g.setColorAt(0, kFast);
    g.setColorAt(1, kSlow);
    p.setPen(QPen(chart::kGold, 1));
    p.setBrush(g);
    p.drawRect(scale);
    chart::text(p, x, 200, any ? u8("速い %1 ms").arg(grouped(fastest)) : u8("速い"), small, chart::kMist);
    chart::text(p, scale.right(), 200, any ? u8("遅い %1 ms").arg(grouped(slowest)) : u8("遅い"), small, chart::kMist,
                Qt::AlignRight);
    chart::text(p, x, 214,
                choosingDigit ? u8("1〜9 キーで数字を選ぶ（0 キーでやめる）") : u8("7 キー → 1〜9: その数字の特訓"),
                small, choosingDigit ? chart::kYellow : chart::kPractice);
    chart::text(p, x, 228, u8("— = その数字のキーが %1 回未満").arg(kInsightMinKeys), small, chart::kMist);
    chart::text(p, x, 248, u8("5 キー: ノーマル／ハード／練習を切り替え"), small, chart::kCyan);
    chart::text(p, x, 266, u8("直近 %1 ゲームの %2").arg(kInsightGames).arg(modeName(mode)), small, modeColor(mode));
    chart::text(p, x, 288, u8("8 キー: 苦手特訓（遅い数字ほど多く出る練習）"), small, chart::kPractice);

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
            const int n = in.missCount(s, d);
            QColor fill = s == d ? QColor(0x18, 0x18, 0x24) : QColor(0x24, 0x24, 0x3C);
            if (n > 0)
                fill = mix(gamePalette().fewMisses, gamePalette().mostMisses, n / double(std::max(1, most)));
            p.setPen(QPen(QColor(0x60, 0x58, 0x40), 1));
            p.setBrush(fill);
            p.drawRect(r);
            if (n > 0)
                chart::text(p, r.center().x(), r.bottom() - 6, grouped(n), small, chart::kPaper, Qt::AlignHCenter);
        }
    }

    const double x = 312;
    const QFont body = pixelFont(13);
    chart::text(p, x, 104, u8("多い打ち間違い"), body, chart::kPaper);
    const std::vector<Miss> top = topMisses(in);
    if (top.empty())
        chart::text(p, x, 132, u8("打ち間違いはありません"), pixelFont(15), chart::kYellow);
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

// An arrow from one key to another, its number in a circle halfway.
void moveArrow(QPainter& p, const QRectF& from, const QRectF& to, int number, const QColor& color)
{
    const QFont f = pixelFont(12);
    QPointF label;
    p.setBrush(Qt::NoBrush);
    if (from == to) {
        // The same key again: a loop over its top edge.
        const QPointF c(from.center().x(), from.top() + 4);
        p.setPen(QPen(color, 2));
        p.drawEllipse(c, 10, 10);
        label = c + QPointF(0, -10);
    } else {
        const QPointF a = from.center();
        const QPointF b = to.center();
        const QPointF d = b - a;
        const double length = std::hypot(d.x(), d.y());
        const QPointF unit = d / length;
        const QPointF normal(-unit.y(), unit.x());
        // A little to one side, so the arrows of a move and its way back part.
        const QPointF start = a + unit * 14 + normal * 5;
        const QPointF end = b - unit * 14 + normal * 5;
        p.setPen(QPen(color, 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(start, end);
        QPainterPath head;
        head.moveTo(end);
        head.lineTo(end - unit * 9 + normal * 5);
        head.lineTo(end - unit * 9 - normal * 5);
        head.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(color);
        p.drawPath(head);
        label = (start + end) / 2;
    }
    p.setPen(QPen(color, 1));
    p.setBrush(QColor(0x10, 0x10, 0x20));
    p.drawEllipse(label, 8, 8);
    chart::text(p, label.x(), label.y() + 4.5, QString::number(number), f, chart::kPaper, Qt::AlignHCenter);
}

void drawMoves(QPainter& p, const KeypadInsight& in, int mode)
{
    source(p, in.games, in.keys, modeColor(mode));
    const QPointF origin(44, 96);
    const double size = 56, gap = 10;
    for (int digit = 1; digit <= kKeypadDigits; ++digit) {
        const QRectF r = keyRect(digit, origin, size, gap);
        keyFrame(p, r, QColor(0x20, 0x20, 0x38));
        chart::text(p, r.left() + 6, r.top() + 18, QString::number(digit), pixelFont(15), rowColor(digit));
    }
    const auto& colors = gamePalette().moveArrows;
    for (size_t i = 0; i < in.slowMoves.size(); ++i) {
        const Move& m = in.slowMoves[i];
        moveArrow(p, keyRect(m.from, origin, size, gap), keyRect(m.to, origin, size, gap), static_cast<int>(i) + 1,
                  colors[i]);
    }

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
    std::optional<int> fastest, slowest, slowKey, wrongKey;
    for (int key = 0; key < kEntryPadKeys; ++key) {
        const DigitFigures& f = in.key(key);
        if (!f.medianMs)
            continue;
        fastest = std::min(fastest.value_or(*f.medianMs), *f.medianMs);
        if (!slowest || *f.medianMs > *slowest) {
            slowest = *f.medianMs;
            slowKey = key;
        }
        if (!wrongKey || *f.accuracy < *in.key(*wrongKey).accuracy)
            wrongKey = key;
    }
    const QPointF origin(40, 82);
    for (int key = 0; key < kEntryPadKeys; ++key) {
        const DigitFigures& f = in.key(key);
        const QRectF r = entryKeyRect(key, origin, 56, 48, 4);
        const double t = slowest && *slowest > *fastest && f.medianMs
                             ? (*f.medianMs - *fastest) / double(*slowest - *fastest)
                             : 0;
        keyFrame(p, r, f.medianMs ? mix(kFast, kSlow, t) : kNoFigure);
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
    const QRectF scale(x, 172, 200, 12);
    QLinearGradient g(scale.topLeft(), scale.topRight());
    g.setColorAt(0, kFast);
    g.setColorAt(1, kSlow);
    p.setPen(QPen(chart::kGold, 1));
    p.setBrush(g);
    p.drawRect(scale);
    chart::text(p, x, 200, fastest ? u8("速い %1 ms").arg(grouped(*fastest)) : u8("速い"), small, chart::kMist);
    chart::text(p, scale.right(), 200, slowest ? u8("遅い %1 ms").arg(grouped(*slowest)) : u8("遅い"), small,
                chart::kMist, Qt::AlignRight);
    chart::text(p, x, 228, u8("— = そのキーの番が %1 回未満").arg(kInsightMinKeys), small, chart::kMist);
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
            const int n = in.missCount(w, s);
            QColor fill = w == s ? QColor(0x18, 0x18, 0x24) : QColor(0x24, 0x24, 0x3C);
            if (n > 0)
                fill = mix(gamePalette().fewMisses, gamePalette().mostMisses, n / double(std::max(1, most)));
            p.setPen(QPen(QColor(0x60, 0x58, 0x40), 1));
            p.setBrush(fill);
            p.drawRect(r);
            if (n > 0)
                chart::text(p, r.center().x(), r.bottom() - 4, grouped(n), small, chart::kPaper, Qt::AlignHCenter);
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
                     const std::function<double(double)>& yOf)
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
    chart::legend(p, kRight, 112, legend, pixelFont(12));
}

void drawSpeed(QPainter& p, const InsightData& data, int mode)
{
    const std::optional<double> best = data.bestKph.at(static_cast<size_t>(std::clamp(mode, 0, kModes - 1)));
    int keys = 0;
    // The best's line stays below the latest game's figures at the top.
    double high = std::max(13000.0, best.value_or(0) / 0.85);
    for (const SpeedPoint& s : data.speeds) {
        keys += s.speed.keys;
        if (s.speed.keysPerHour)
            high = std::max(high, *s.speed.keysPerHour);
    }
    for (const EntrySpeedPoint& e : data.entrySpeeds)
        high = std::max(high, e.netKph.value_or(0));
    source(p, static_cast<int>(data.speeds.size()), keys, chart::kMist);
    const QRectF plot(84, 86, 404, 150);
    const chart::Axis y = chart::niceAxis(0, high, 4, true);
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
    QPainterPath path;
    bool drawing = false;
    for (size_t i = 0; i < n; ++i) {
        const std::optional<double>& kph = data.speeds[i].speed.keysPerHour;
        if (!kph) {
            drawing = false;
            continue;
        }
        const QPointF pt(xOf(i), yOf(*kph));
        drawing ? path.lineTo(pt) : path.moveTo(pt);
        drawing = true;
    }
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(chart::kPaper, 1.4));
    p.drawPath(path);
    for (size_t i = 0; i < n; ++i) {
        const SpeedPoint& s = data.speeds[i];
        if (!s.speed.keysPerHour)
            continue;
        p.setPen(Qt::NoPen);
        p.setBrush(modeColor(static_cast<int>(s.mode)));
        p.drawEllipse(QPointF(xOf(i), yOf(*s.speed.keysPerHour)), 3.5, 3.5);
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
    const double target = std::round(stripY(0.98)) + 0.5;
    p.setPen(QPen(chart::kCyan, 1, Qt::DashLine));
    p.drawLine(QPointF(strip.left(), target), QPointF(strip.right(), target));
    chart::text(p, strip.right() + 6, target + 4, u8("98 %"), small, chart::kCyan);
    if (n > 1) {
        chart::text(p, plot.left(), strip.bottom() + 16, u8("%1ゲーム前").arg(n - 1), small, chart::kMist);
        chart::text(p, plot.right(), strip.bottom() + 16, u8("最新"), small, chart::kMist, Qt::AlignRight);
    }
    chart::text(p, 24, kSentenceBaseline + 8,
                u8("正しく打ったキー × 3600 ÷ 秒。1 桁ずつ打つこのゲームの値で、点線はデータ入力の目安"), small,
                chart::kMist);
    if (n > 0 && data.speeds.back().speed.keysPerHour && data.speeds.back().speed.accuracy) {
        const GameSpeed& last = data.speeds.back().speed;
        chart::text(p, plot.left() + 6, 102,
                    u8("最新: %1 打鍵/時・正確さ %2").arg(grouped(std::lround(*last.keysPerHour)), percent(*last.accuracy)),
                    small, chart::kPaper);
    }
    const std::vector<chart::Series> legend = {
        {u8("ノーマル"), chart::kNormal, {}}, {u8("ハード"), chart::kHard, {}}, {u8("練習"), chart::kPractice, {}}};
    chart::legend(p, kRight, 96, legend, pixelFont(12));
    drawEntrySpeeds(p, data.entrySpeeds, plot, yOf);
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
        if (struck(baseline) && !struck(py - 4) && py - 16 > 106)
            baseline = py - 4;
        chart::text(p, plot.right() - 4, baseline,
                    u8("%1のベスト %2（5 キーで切替）").arg(modeName(mode), grouped(std::lround(*best))), small,
                    modeColor(mode), Qt::AlignRight);
    }
}
}  // namespace

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
