// quennel_artgen: draws the game's own pictures (backgrounds, banners, result
// strips, rank emblems, gauge, mascot and icon) into a folder.
//
//   quennel_artgen <art-dir> [preview-dir]
//   quennel_artgen --icons <icon-dir>   the desktop icons, quennel-<size>.png
//
// Everything is drawn with QPainter so the artwork can be redrawn at will.
// One palette runs through all of it: near-black indigo grounds, gold for
// frames and titles, and the game's own neon text colours (green, cyan,
// yellow, orange) as accents. Japanese text is set in IPAPMincho, the face
// the game itself uses.
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

namespace {

QString g_out;
QString g_preview;
bool g_ok = true;
// Device pixels to a picture pixel: 1 for the pictures themselves, 2 for
// their "@2x" versions for dense screens. Every picture is drawn in its own
// pixel coordinates on a canvas of this ratio, so both come from the same
// drawing code and the larger one is drawn finely, not enlarged.
int g_scale = 1;
const int kScales[] = {1, 2};

// A blank picture of w x h pixels at the current scale.
QImage canvas(int w, int h, QImage::Format format = QImage::Format_RGB32)
{
    QImage img(w * g_scale, h * g_scale, format);
    img.setDevicePixelRatio(g_scale);
    return img;
}

// ---------------------------------------------------------------- palette
const QColor kGold(0xE6, 0xBE, 0x5A);
const QColor kGoldHi(0xFF, 0xF1, 0xB8);
const QColor kGoldLo(0x8C, 0x62, 0x1C);
const QColor kGoldDeep(0x4A, 0x31, 0x0A);
const QColor kInk(0x14, 0x0C, 0x02);
const QColor kGreen(0x00, 0xFF, 0x00);
const QColor kCyan(0x00, 0xFF, 0xFF);
const QColor kYellow(0xFF, 0xFF, 0x00);
const QColor kOrange(0xFF, 0x80, 0x00);
const QColor kPaper(0xF4, 0xEA, 0xD0);  // warm white for row titles
const QColor kMist(0xB8, 0xC4, 0xDC);   // cool grey for small print

QColor withAlpha(QColor c, int a) { c.setAlpha(a); return c; }
QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t),
                            float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

// ---------------------------------------------------------------- fonts
QFont mincho(double px)
{
    QFont f(QStringLiteral("IPAPMincho"));
    f.setPixelSize(int(std::lround(px)));
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}
QFont roman(double px, bool italic = false, bool bold = false)
{
    QFont f(QStringLiteral("P052"));  // a Palatino cut, for the English lines
    f.setPixelSize(int(std::lround(px)));
    f.setItalic(italic);
    f.setBold(bold);
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}
QFont sansBold(double px)
{
    QFont f(QStringLiteral("Nimbus Sans"));
    f.setPixelSize(int(std::lround(px)));
    f.setBold(true);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

enum class Align { Left, Center, Right };

// Outline of a text with its baseline at y; x is the left edge, the centre or
// the right edge according to the alignment.
QPainterPath textPath(const QString& text, const QFont& font, double x, double y,
                      Align align = Align::Left)
{
    const double w = QFontMetricsF(font).horizontalAdvance(text);
    if (align == Align::Center) x -= w / 2;
    if (align == Align::Right) x -= w;
    QPainterPath p;
    p.addText(QPointF(x, y), font, text);
    return p;
}
double textWidth(const QString& text, const QFont& font)
{
    return QFontMetricsF(font).horizontalAdvance(text);
}

// A soft halo: the outline stroked wide and faint, then narrower and brighter.
void glow(QPainter& p, const QPainterPath& path, const QColor& c, double radius, int strength = 26)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    const int steps = 6;
    for (int i = steps; i >= 1; --i) {
        const double w = radius * 2.0 * i / steps;
        p.setPen(QPen(withAlpha(c, strength), w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    p.restore();
}

// Gold lettering: a dark rim, then a metallic gradient fill.
void goldText(QPainter& p, const QPainterPath& path, double rim = 1.6, bool halo = true)
{
    const QRectF r = path.boundingRect();
    if (halo) glow(p, path, QColor(0xFF, 0xB0, 0x30), std::max(3.0, r.height() * 0.12), 14);
    p.save();
    p.setPen(QPen(kInk, rim * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0.00, kGoldHi);
    g.setColorAt(0.42, kGold);
    g.setColorAt(0.52, kGoldLo);
    g.setColorAt(0.70, kGold);
    g.setColorAt(1.00, kGoldHi);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

// Neon lettering in one of the game's text colours.
void neonText(QPainter& p, const QPainterPath& path, const QColor& c, double radius = 5,
              int strength = 22)
{
    glow(p, path, c, radius, strength);
    p.save();
    p.setPen(QPen(withAlpha(c.darker(260), 220), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    QLinearGradient g(path.boundingRect().topLeft(), path.boundingRect().bottomLeft());
    g.setColorAt(0.0, mix(c, Qt::white, 0.55));
    g.setColorAt(0.5, mix(c, Qt::white, 0.15));
    g.setColorAt(1.0, c);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(path);
    p.restore();
}

// Plain lettering with a thin dark rim so it stays crisp over patterns.
void plainText(QPainter& p, const QPainterPath& path, const QColor& c)
{
    p.save();
    p.setPen(QPen(QColor(0, 0, 0, 200), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(path);
    p.restore();
}

// A horizontal rule that fades out at both ends.
void rule(QPainter& p, double x1, double x2, double y, const QColor& c, double width = 1.0)
{
    QLinearGradient g(x1, 0, x2, 0);
    g.setColorAt(0.0, withAlpha(c, 0));
    g.setColorAt(0.12, c);
    g.setColorAt(0.88, c);
    g.setColorAt(1.0, withAlpha(c, 0));
    p.save();
    p.setPen(Qt::NoPen);
    QLinearGradient halo = g;
    halo.setColorAt(0.12, withAlpha(c, 40));
    halo.setColorAt(0.88, withAlpha(c, 40));
    p.setBrush(halo);
    p.drawRect(QRectF(x1, y - width / 2 - 2, x2 - x1, width + 4));
    p.setBrush(g);
    p.drawRect(QRectF(x1, y - width / 2, x2 - x1, width));
    p.restore();
}

// A small diamond ornament.
void diamond(QPainter& p, QPointF c, double r, const QColor& fill)
{
    QPainterPath d;
    d.moveTo(c.x(), c.y() - r);
    d.lineTo(c.x() + r, c.y());
    d.lineTo(c.x(), c.y() + r);
    d.lineTo(c.x() - r, c.y());
    d.closeSubpath();
    p.save();
    glow(p, d, fill, r * 0.9, 30);
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(fill);
    p.drawPath(d);
    p.restore();
}

// A four-pointed sparkle.
void sparkle(QPainter& p, QPointF c, double r, const QColor& col)
{
    QPainterPath s;
    s.moveTo(c.x(), c.y() - r);
    s.quadTo(c, QPointF(c.x() + r, c.y()));
    s.quadTo(c, QPointF(c.x(), c.y() + r));
    s.quadTo(c, QPointF(c.x() - r, c.y()));
    s.quadTo(c, QPointF(c.x(), c.y() - r));
    p.save();
    QRadialGradient halo(c, r * 0.9);
    halo.setColorAt(0, withAlpha(col, 120));
    halo.setColorAt(1, withAlpha(col, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(halo);
    p.drawEllipse(c, r * 0.9, r * 0.9);
    p.setBrush(mix(col, Qt::white, 0.6));
    p.drawPath(s);
    p.restore();
}

// A numeric-keypad key cap bearing one digit: how the menus name their keys.
void keycap(QPainter& p, const QRectF& r, const QString& digit, const QColor& accent = kGold)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double rad = r.height() * 0.18;
    // drop shadow
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 150));
    p.drawRoundedRect(r.translated(1.5, 2), rad, rad);
    // body
    QLinearGradient body(r.topLeft(), r.bottomLeft());
    body.setColorAt(0, QColor(0x5A, 0x60, 0x72));
    body.setColorAt(0.55, QColor(0x2A, 0x2E, 0x3A));
    body.setColorAt(1, QColor(0x16, 0x18, 0x20));
    p.setBrush(body);
    p.setPen(QPen(accent, 1.2));
    p.drawRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), rad, rad);
    // top face
    const QRectF face = r.adjusted(r.width() * 0.12, r.height() * 0.08, -r.width() * 0.12,
                                   -r.height() * 0.2);
    QLinearGradient top(face.topLeft(), face.bottomLeft());
    top.setColorAt(0, QColor(0x6C, 0x73, 0x88));
    top.setColorAt(1, QColor(0x34, 0x39, 0x47));
    p.setBrush(top);
    p.setPen(QPen(QColor(255, 255, 255, 40), 0.8));
    p.drawRoundedRect(face, rad * 0.8, rad * 0.8);
    // digit
    QFont f = sansBold(face.height() * 0.86);
    const QFontMetricsF fm(f);
    const double base = face.center().y() + (fm.ascent() - fm.descent()) / 2 - 0.5;
    const QPainterPath d = textPath(digit, f, face.center().x(), base, Align::Center);
    p.setPen(QPen(QColor(0, 0, 0, 160), 1.6));
    p.setBrush(Qt::NoBrush);
    p.drawPath(d);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xFF, 0xFF));
    p.drawPath(d);
    p.restore();
}

// ---------------------------------------------------------------- grounds

// The dark ground every large screen shares: an indigo gradient, a fine
// diagonal weave, a few soft coloured lights and a vignette that takes the
// corners down to black (the mascot's black square sits in one of them).
QImage ground(int w, int h, quint32 seed, QColor lightA, QColor lightB)
{
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, h);
    g.setColorAt(0, QColor(0x0B, 0x0E, 0x22));
    g.setColorAt(0.55, QColor(0x07, 0x09, 0x17));
    g.setColorAt(1, QColor(0x03, 0x04, 0x0B));
    p.fillRect(img.rect(), g);

    // soft coloured lights
    QRandomGenerator rng(seed);
    for (int i = 0; i < 2; ++i) {
        const QColor c = i ? lightB : lightA;
        const QPointF at(w * (i ? 0.78 : 0.22) + rng.bounded(40) - 20,
                         h * (i ? 0.70 : 0.30) + rng.bounded(40) - 20);
        QRadialGradient rg(at, w * 0.42);
        rg.setColorAt(0, withAlpha(c, 34));
        rg.setColorAt(1, withAlpha(c, 0));
        p.fillRect(img.rect(), rg);
    }

    // a fine weave of diagonal hairlines
    p.setPen(QPen(QColor(0x8C, 0x9C, 0xD0, 10), 1));
    for (int x = -h; x < w; x += 7) p.drawLine(QPointF(x, 0), QPointF(x + h, h));
    p.setPen(QPen(QColor(0x8C, 0x9C, 0xD0, 6), 1));
    for (int x = 0; x < w + h; x += 7) p.drawLine(QPointF(x, 0), QPointF(x - h, h));

    // a few faint specks of dust, like stars
    for (int i = 0; i < 70; ++i) {
        const QPointF at(rng.bounded(w), rng.bounded(h));
        const int a = 20 + rng.bounded(60);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xD8, 0xE0, 0xFF, a));
        const double r = 0.4 + rng.bounded(7) / 10.0;
        p.drawEllipse(at, r, r);
    }

    // vignette
    QRadialGradient v(QPointF(w / 2.0, h / 2.0), std::hypot(w, h) * 0.56);
    v.setColorAt(0.0, QColor(0, 0, 0, 0));
    v.setColorAt(0.62, QColor(0, 0, 0, 40));
    v.setColorAt(1.0, QColor(0, 0, 0, 235));
    p.fillRect(img.rect(), v);
    return img;
}

// A gold frame just inside the visible part of a screen (594 x 375). Given a
// keep-out square in the top-left corner (the title's mascot stands there),
// both lines step around it instead of running under it.
void screenFrame(QPainter& p, int w = 594, int h = 375, double keepOut = 0)
{
    p.save();
    p.setBrush(Qt::NoBrush);
    auto frameLine = [&](double inset) {
        QPainterPath path;
        const double r = w - inset, b = h - inset;
        if (keepOut > 0) {
            const double notch = keepOut + inset;
            path.moveTo(notch, inset);
            path.lineTo(r, inset);
            path.lineTo(r, b);
            path.lineTo(inset, b);
            path.lineTo(inset, notch);
            path.lineTo(notch, notch);
            path.closeSubpath();
        } else {
            path.addRect(QRectF(inset, inset, w - 2 * inset, h - 2 * inset));
        }
        return path;
    };
    p.setPen(QPen(withAlpha(kGoldLo, 200), 1));
    p.drawPath(frameLine(3.5));
    p.setPen(QPen(withAlpha(kGold, 90), 1));
    p.drawPath(frameLine(6.5));
    // corner ornaments; the stepped corner gets its ornament at the step
    const double tl = keepOut > 0 ? keepOut + 6.5 : 6.5;
    for (QPointF c : {QPointF(tl, tl), QPointF(w - 6.5, 6.5), QPointF(6.5, h - 6.5),
                      QPointF(w - 6.5, h - 6.5)})
        diamond(p, c, 3.2, kGold);
    p.restore();
}

// A dark plate with a gold double border, used for banners and emblems.
void plate(QPainter& p, const QRectF& r, const QColor& tint, double radius = 5)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, mix(QColor(0x1A, 0x1C, 0x30), tint, 0.18));
    g.setColorAt(0.5, mix(QColor(0x0B, 0x0C, 0x18), tint, 0.08));
    g.setColorAt(1, QColor(0x04, 0x04, 0x0A));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRoundedRect(r, radius, radius);
    QLinearGradient edge(r.topLeft(), r.bottomLeft());
    edge.setColorAt(0, kGoldHi);
    edge.setColorAt(0.5, kGold);
    edge.setColorAt(1, kGoldLo);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QBrush(edge), 2));
    p.drawRoundedRect(r.adjusted(1, 1, -1, -1), radius, radius);
    p.setPen(QPen(withAlpha(kGold, 110), 1));
    p.drawRoundedRect(r.adjusted(4.5, 4.5, -4.5, -4.5), radius * 0.6, radius * 0.6);
    p.restore();
}

// ---------------------------------------------------------------- output

void fail(const QString& what)
{
    std::fprintf(stderr, "quennel_artgen: %s\n", qPrintable(what));
    g_ok = false;
}

// The file name of a picture at the current scale: "title.jpg" or
// "title@2x.jpg", the name under which Qt looks for the larger version.
QString scaledName(const QString& name, int scale = g_scale)
{
    if (scale == 1) return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return name.left(dot) + QStringLiteral("@%1x").arg(scale) + name.mid(dot);
}

void save(const QImage& picture, const QString& plainName)
{
    const QString name = scaledName(plainName);
    const QString path = g_out + QLatin1Char('/') + name;
    // Written pixel for pixel; the scale lives only in the file name.
    QImage img = picture;
    img.setDevicePixelRatio(1);
    QImageWriter w(path);
    if (name.endsWith(QLatin1String(".jpg"))) {
        w.setFormat("jpeg");
        w.setQuality(95);
        w.setOptimizedWrite(true);
        if (!w.write(img.convertToFormat(QImage::Format_RGB32)))
            fail(path + QStringLiteral(": ") + w.errorString());
    } else if (name.endsWith(QLatin1String(".bmp"))) {
        w.setFormat("bmp");
        if (!w.write(img.convertToFormat(QImage::Format_RGB888)))
            fail(path + QStringLiteral(": ") + w.errorString());
    }
    std::printf("%-19s %4d x %3d\n", qPrintable(name), img.width(), img.height());
}

// A picture written earlier in this run, read back.
QImage art(const QString& name) { return QImage(g_out + QLatin1Char('/') + name); }

// A piece of a picture already written at the current scale, as a canvas of
// the piece's size in pixels.
QImage artPiece(const QString& name, const QRect& r)
{
    QImage piece = art(scaledName(name))
                       .copy(QRect(r.topLeft() * g_scale, r.size() * g_scale))
                       .convertToFormat(QImage::Format_RGB32);
    piece.setDevicePixelRatio(g_scale);
    return piece;
}

void preview(const QImage& img, const QString& name)
{
    if (g_preview.isEmpty()) return;
    img.save(g_preview + QLatin1Char('/') + scaledName(name));
}

// Baseline of the value labels: the game sets label text from the top of the
// label, so digits of a px-sized Mincho stand on top + ascent.
double labelBaseline(double topPx, double fontPx)
{
    return topPx + QFontMetricsF(mincho(fontPx)).ascent();
}

// ---------------------------------------------------------------- screens

// The corner square the title's mascot (4..36 px) and a margin keep free.
constexpr double kTitleMascotKeepOut = 36;

// The title's menu line for 数字入力 (keypad 8): where it stands, with the
// reach of its glow, in the middle of the upper row, which the title
// leaves empty. The game lays it over the title as a picture of its own,
// so the title itself stays as it was.
const QRect kTitleEntryLine(210, 200, 196, 50);
const QColor kEntryColor(0x90, 0xC8, 0xFF);

void drawTitle(bool entryLine = false)
{
    QImage img = ground(600, 380, 11, QColor(0x30, 0x60, 0xFF), QColor(0xFF, 0x80, 0x00));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // a faint numeric keypad watermark behind the title
    {
        const QFont f = roman(40, false, true);
        const char* keys = "789456123";
        for (int i = 0; i < 9; ++i) {
            const QRectF k(372 + (i % 3) * 58, 26 + (i / 3) * 58, 52, 52);
            p.setPen(QPen(QColor(0x90, 0xA8, 0xFF, 26), 1.2));
            p.setBrush(QColor(0x90, 0xA8, 0xFF, 8));
            p.drawRoundedRect(k, 8, 8);
            const QPainterPath d = textPath(QString(QChar(keys[i])), f, k.center().x(),
                                            k.center().y() + 14, Align::Center);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x90, 0xA8, 0xFF, 22));
            p.drawPath(d);
        }
    }

    // The mascot (32 x 32 at 4,4) sits in the top-left corner: the frame
    // steps around it with a 3-pixel margin.
    screenFrame(p, 594, 375, kTitleMascotKeepOut);

    // product title
    const QPainterPath title = textPath(QStringLiteral("クェネル"), mincho(92), 297, 118, Align::Center);
    goldText(p, title, 2.0);
    const QRectF tb = title.boundingRect();
    sparkle(p, QPointF(tb.right() - 6, tb.top() + 6), 11, kGoldHi);
    sparkle(p, QPointF(tb.left() + 4, tb.bottom() - 8), 7, kGoldHi);

    // English title and version
    const QPainterPath en = textPath(QStringLiteral("Quennel"), roman(34, true), 297, 160, Align::Center);
    neonText(p, en, kCyan, 5, 20);
    rule(p, 70, 524, 178, withAlpha(kGold, 220), 1.2);
    diamond(p, QPointF(297, 178), 4, kGold);
    const QPainterPath ver = textPath(QStringLiteral("Version 2001.8.18"), roman(14, true), 520, 196,
                                      Align::Right);
    plainText(p, ver, withAlpha(kGold, 230));
    const QPainterPath tag = textPath(QStringLiteral("テンキー反射ゲーム"), mincho(15), 74, 196);
    plainText(p, tag, kMist);

    // the menu, laid out where its keys sit on the keypad: 4 left and 6 right,
    // 1, 2 and 3 below from left to right
    struct Item { const char* key; const char* text; QColor color; double x, y; };
    constexpr double kColumn[3] = {32, 220, 408};
    const Item items[] = {
        {"4", "ノーマルモード", kGreen, kColumn[0], 236},
        {"6", "ハードモード", kOrange, kColumn[2], 236},
        {"1", "ハイスコア確認", kYellow, kColumn[0], 282},
        {"2", "プレイ記録", QColor(0xFF, 0x60, 0xE0), kColumn[1], 282},
        {"3", "ゲーム終了", kCyan, kColumn[2], 282},
        {"8", "数字入力", kEntryColor, kColumn[1], 236},
    };
    for (const Item& it : items) {
        if (!entryLine && it.key[0] == '8')
            continue;
        // a faint plate behind each entry
        QLinearGradient pl(it.x - 8, 0, it.x + 182, 0);
        pl.setColorAt(0, withAlpha(it.color, 38));
        pl.setColorAt(1, withAlpha(it.color, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(pl);
        p.drawRoundedRect(QRectF(it.x - 6, it.y - 28, 182, 36), 6, 6);
        keycap(p, QRectF(it.x, it.y - 25, 28, 28), QString::fromLatin1(it.key));
        const QPainterPath t = textPath(QString::fromUtf8(it.text), mincho(21), it.x + 35, it.y - 3);
        neonText(p, t, it.color, 3.5, 18);
    }

    // the note about NumLock and the input method
    {
        const QRectF box(28, 316, 538, 40);
        p.setPen(QPen(withAlpha(kGold, 120), 1));
        p.setBrush(QColor(0, 0, 0, 120));
        p.drawRoundedRect(box, 6, 6);
        const QString note = QStringLiteral("NumLockランプの点灯と、日本語入力が直接入力モードであることを確認してください");
        double px = 15;
        while (textWidth(note, mincho(px)) > box.width() - 54 && px > 10) px -= 0.5;
        const QPainterPath warn = textPath(QStringLiteral("！"), mincho(18), box.left() + 20,
                                           box.center().y() + 7, Align::Center);
        neonText(p, warn, kOrange, 3, 30);
        const QPainterPath t = textPath(note, mincho(px), box.left() + 36 + (box.width() - 54 - textWidth(note, mincho(px))) / 2,
                                        box.center().y() + px * 0.36);
        plainText(p, t, QColor(0xF0, 0xE8, 0xD8));
    }
    p.end();
    if (!entryLine) {
        save(img, QStringLiteral("title.jpg"));
        return;
    }
    const QRect r = kTitleEntryLine;
    QImage piece = img.copy(QRect(r.topLeft() * g_scale, r.size() * g_scale));
    save(piece, QStringLiteral("title_entry.bmp"));
}

// The 数字入力 screens: a banner naming them, the key hints along the
// bottom (the test's own hints change with its state: the game draws them).
void drawEntryScreen(bool result)
{
    QImage img = ground(600, 380, result ? 83 : 79, kEntryColor, QColor(0x00, 0xFF, 0x00));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    screenFrame(p);
    plate(p, QRectF(12, 8, 300, 36), kEntryColor, 6);
    goldText(p, textPath(QStringLiteral("数字入力"), mincho(24), 162, 35, Align::Center), 1.2, false);
    neonText(p, textPath(QStringLiteral("Number Entry"), roman(20, true), 560, 34, Align::Right), kMist, 3, 10);
    rule(p, 14, 582, 332, withAlpha(kGold, 200), 1.2);
    if (result) {
        keycap(p, QRectF(24, 340, 24, 24), QStringLiteral("4"));
        neonText(p, textPath(QStringLiteral("もう一度"), mincho(18), 54, 359), kEntryColor, 3, 16);
        keycap(p, QRectF(430, 340, 24, 24), QStringLiteral("0"));
        neonText(p, textPath(QStringLiteral("タイトルへ"), mincho(18), 460, 359), kCyan, 3, 16);
    }
    p.end();
    save(img, result ? QStringLiteral("entry_result.jpg") : QStringLiteral("entry.jpg"));
}

// Row title of a result screen: a coloured diamond, then the words in warm
// white, right-aligned to the given edge on the given baseline.
void rowTitle(QPainter& p, const QString& text, double px, double right, double base,
              const QColor& accent)
{
    const QFont f = mincho(px);
    const QPainterPath t = textPath(text, f, right, base, Align::Right);
    glow(p, t, accent, 3, 12);
    plainText(p, t, kPaper);
    diamond(p, QPointF(t.boundingRect().left() - 12, base - px * 0.36), px * 0.17, accent);
}

// A faint band behind a row so the eye runs from the title to its value.
void rowBand(QPainter& p, double x1, double x2, double top, double h, const QColor& c)
{
    QLinearGradient g(x1, 0, x2, 0);
    g.setColorAt(0, withAlpha(c, 0));
    g.setColorAt(0.25, withAlpha(c, 22));
    g.setColorAt(0.8, withAlpha(c, 16));
    g.setColorAt(1, withAlpha(c, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRectF(x1, top, x2 - x1, h));
}

void drawResults()
{
    QImage img = ground(600, 380, 23, QColor(0x00, 0xC0, 0xFF), QColor(0xFF, 0xE0, 0x00));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    screenFrame(p);

    // heading corners beside the stage banner (172..422 x 8..58)
    goldText(p, textPath(QStringLiteral("ステージ結果"), mincho(22), 90, 42, Align::Center), 1.2, false);
    neonText(p, textPath(QStringLiteral("Result"), roman(26, true), 505, 42, Align::Center), kCyan, 3, 16);
    rule(p, 20, 165, 52, withAlpha(kGold, 160));
    rule(p, 430, 575, 52, withAlpha(kGold, 160));

    // value labels: 42 pt text (56 px) from the label tops
    struct Row { const char* text; double top, h; QColor accent; };
    const Row rows[] = {
        {"獲得スコア：", 64, 57, kGreen},
        {"クリアノルマ：", 120, 49, kCyan},
        {"結果判定：", 184, 57, kOrange},
        {"スコア合計：", 248, 57, kYellow},
    };
    for (const Row& r : rows) {
        const double base = labelBaseline(r.top, 56);
        rowBand(p, 14, 582, base - 36, 42, r.accent);
        rowTitle(p, QString::fromUtf8(r.text), 30, 270, base - 4, r.accent);
    }
    // rules above and below the verdict row
    rule(p, 14, 582, 178, withAlpha(kGold, 230), 1.2);
    rule(p, 14, 582, 245, withAlpha(kGold, 230), 1.2);
    diamond(p, QPointF(297, 178), 3.5, kGold);
    diamond(p, QPointF(297, 245), 3.5, kGold);
    // a thin line to close off the rows above the result strip (320..370)
    rule(p, 40, 554, 313, withAlpha(kGoldLo, 200));
    p.end();
    save(img, QStringLiteral("results.jpg"));
}

void drawFinal()
{
    QImage img = ground(600, 380, 37, QColor(0xFF, 0xC0, 0x30), QColor(0xFF, 0x50, 0x20));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // rays of light behind 完成
    {
        const QPointF c(297, 128);
        for (int i = 0; i < 24; ++i) {
            const double a0 = (i * 15.0) * M_PI / 180, a1 = a0 + 5.0 * M_PI / 180;
            QPainterPath ray;
            ray.moveTo(c);
            ray.lineTo(c + QPointF(std::cos(a0), std::sin(a0)) * 420);
            ray.lineTo(c + QPointF(std::cos(a1), std::sin(a1)) * 420);
            ray.closeSubpath();
            QRadialGradient rg(c, 300);
            rg.setColorAt(0, QColor(0xFF, 0xD0, 0x60, 40));
            rg.setColorAt(1, QColor(0xFF, 0xD0, 0x60, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(rg);
            p.drawPath(ray);
        }
        // take the rays down again where the rows stand
        QLinearGradient fade(0, 180, 0, 230);
        fade.setColorAt(0, QColor(4, 5, 12, 0));
        fade.setColorAt(1, QColor(4, 5, 12, 255));
        p.fillRect(QRectF(0, 180, 600, 200), fade);
    }
    screenFrame(p);

    goldText(p, textPath(QStringLiteral("クェネル"), mincho(44), 297, 60, Align::Center), 1.4);
    rule(p, 150, 444, 74, withAlpha(kGold, 200));
    const QPainterPath done = textPath(QStringLiteral("完成"), mincho(96), 297, 168, Align::Center);
    glow(p, done, kOrange, 14, 16);
    goldText(p, done, 2.2, false);
    const QRectF db = done.boundingRect();
    sparkle(p, QPointF(db.left() - 18, db.top() + 14), 12, kGoldHi);
    sparkle(p, QPointF(db.right() + 16, db.top() + 30), 9, kGoldHi);
    sparkle(p, QPointF(db.right() + 30, db.bottom() - 10), 6, kGoldHi);
    sparkle(p, QPointF(db.left() - 34, db.bottom() - 18), 7, kGoldHi);

    // value labels at x 304..505, 36 pt (48 px) from their tops
    const double b1 = labelBaseline(200, 48), b2 = labelBaseline(240, 48);
    rowBand(p, 40, 560, b1 - 31, 36, kYellow);
    rowTitle(p, QStringLiteral("スコア合計："), 26, 292, b1 - 3, kYellow);
    rowBand(p, 40, 560, b2 - 29, 30, kGreen);  // kept clear of the rank emblem below
    rowTitle(p, QStringLiteral("ハイスコア："), 26, 292, b2 - 3, kGreen);
    // the rank emblem stands at 312..512 x 272..322, its plate from y 283
    rowTitle(p, QStringLiteral("職人ランク："), 26, 292, 311, kOrange);

    // prompt
    {
        const QPainterPath ok = textPath(QStringLiteral("OK!!"), roman(30, true, true), 288, 360, Align::Right);
        neonText(p, ok, kYellow, 4, 20);
        keycap(p, QRectF(298, 334, 28, 28), QStringLiteral("0"));
    }
    p.end();
    save(img, QStringLiteral("final.jpg"));
}

void drawHighScores()
{
    QImage img = ground(600, 380, 51, QColor(0x00, 0xFF, 0x80), QColor(0xFF, 0x60, 0x00));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    screenFrame(p);

    // title banner
    plate(p, QRectF(12, 8, 300, 36), QColor(0xFF, 0xC0, 0x40), 6);
    goldText(p, textPath(QStringLiteral("ハイスコア確認"), mincho(24), 162, 35, Align::Center), 1.2, false);
    neonText(p, textPath(QStringLiteral("Hall of Fame"), roman(20, true), 560, 34, Align::Right), kMist, 3, 10);

    const char* stages[] = {"First Stage", "Second Stage", "Third Stage", "Bonus Stage", "Final Stage"};
    struct Block { const char* mode; const char* en; QColor accent; double tops[6]; };
    const Block blocks[] = {
        {"ノーマルモード", "Normal", kGreen, {48, 72, 96, 120, 144, 176}},
        {"ハードモード", "Hard", kOrange, {208, 232, 256, 280, 304, 336}},
    };
    // value labels: left 416, 24 pt (32 px) text from their tops
    for (const Block& b : blocks) {
        const double top = b.tops[0], bottom = b.tops[5] + 33;
        // mode heading on the left, centred on its block
        const double mid = (top + bottom) / 2;
        QLinearGradient side(0, top + 4, 0, bottom - 4);
        side.setColorAt(0, withAlpha(b.accent, 0));
        side.setColorAt(0.5, withAlpha(b.accent, 200));
        side.setColorAt(1, withAlpha(b.accent, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(side);
        p.drawRect(QRectF(18, top + 6, 3, bottom - top - 12));
        neonText(p, textPath(QString::fromUtf8(b.mode), mincho(23), 32, mid + 4), b.accent, 4, 16);
        plainText(p, textPath(QString::fromUtf8(b.en), roman(14, true), 34, mid + 26), kMist);

        for (int i = 0; i < 6; ++i) {
            const double base = labelBaseline(b.tops[i], 32) - 2;
            const bool total = i == 5;
            const QString name = total ? QStringLiteral("Total Score") : QString::fromLatin1(stages[i]);
            const QFont f = roman(total ? 19 : 17, true, total);
            const QPainterPath t = textPath(name, f, 398, base, Align::Right);
            if (total) {
                neonText(p, t, kYellow, 3, 14);
            } else {
                plainText(p, t, QColor(0xE4, 0xE8, 0xF4));
            }
            // dotted leader from the name to the value
            p.setPen(Qt::NoPen);
            p.setBrush(withAlpha(total ? kYellow : kGold, total ? 150 : 110));
            for (double x = t.boundingRect().left() - 10; x > 200; x -= 6)
                p.drawEllipse(QPointF(x, base - 3), 0.9, 0.9);
        }
        rule(p, 190, 540, b.tops[5] + 1, withAlpha(kGold, 170));
    }
    rule(p, 14, 582, 207, withAlpha(kGold, 220), 1.2);
    diamond(p, QPointF(120, 207), 3.5, kGold);

    // back to the title: keep clear of the value labels (416..529)
    keycap(p, QRectF(547, 310, 26, 26), QStringLiteral("0"));
    neonText(p, textPath(QStringLiteral("戻る"), mincho(19), 560, 359, Align::Center), kCyan, 3, 16);
    p.end();
    save(img, QStringLiteral("highscores.jpg"));
}

// The progress screen: a banner naming it and the key hints along the
// bottom; the game draws the charts in the space between (y 48..330).
void drawProgress()
{
    QImage img = ground(600, 380, 67, QColor(0xFF, 0x60, 0xE0), QColor(0x30, 0x90, 0xFF));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    screenFrame(p);

    plate(p, QRectF(12, 8, 300, 36), QColor(0xFF, 0xC0, 0x40), 6);
    goldText(p, textPath(QStringLiteral("プレイ記録"), mincho(24), 162, 35, Align::Center), 1.2, false);
    neonText(p, textPath(QStringLiteral("Progress"), roman(20, true), 560, 34, Align::Right), kMist, 3, 10);
    rule(p, 14, 582, 332, withAlpha(kGold, 200), 1.2);

    // page keys on the left, the way back on the right; the game puts the
    // page dots in the middle
    keycap(p, QRectF(24, 340, 24, 24), QStringLiteral("4"));
    plainText(p, textPath(QStringLiteral("前へ"), mincho(16), 54, 358), kPaper);
    keycap(p, QRectF(106, 340, 24, 24), QStringLiteral("6"));
    plainText(p, textPath(QStringLiteral("次へ"), mincho(16), 136, 358), kPaper);
    keycap(p, QRectF(496, 340, 24, 24), QStringLiteral("0"));
    neonText(p, textPath(QStringLiteral("戻る"), mincho(18), 526, 359), kCyan, 3, 16);
    p.end();
    save(img, QStringLiteral("progress.jpg"));
}

// The practice result (苦手特訓): a banner naming it and the key hints
// along the bottom; the game draws the figures and the keypad between.
void drawPracticeResult()
{
    const QColor pink(0xFF, 0x60, 0xE0);
    QImage img = ground(600, 380, 71, pink, QColor(0x30, 0x90, 0xFF));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    screenFrame(p);

    plate(p, QRectF(12, 8, 300, 36), pink, 6);
    goldText(p, textPath(QStringLiteral("苦手特訓"), mincho(24), 162, 35, Align::Center), 1.2, false);
    neonText(p, textPath(QStringLiteral("Practice"), roman(20, true), 560, 34, Align::Right), kMist, 3, 10);
    rule(p, 14, 582, 332, withAlpha(kGold, 200), 1.2);

    keycap(p, QRectF(24, 340, 24, 24), QStringLiteral("4"));
    neonText(p, textPath(QStringLiteral("もう一度"), mincho(18), 54, 359), pink, 3, 16);
    keycap(p, QRectF(430, 340, 24, 24), QStringLiteral("0"));
    neonText(p, textPath(QStringLiteral("プレイ記録へ"), mincho(18), 460, 359), kCyan, 3, 16);
    p.end();
    save(img, QStringLiteral("practice.jpg"));
}

// ---------------------------------------------------------------- banners

// The banner's plate height: Form3.Image5 (top 16 px) meets the opaque
// Label2(0) (top 64 px) at the banner's row 48.
constexpr double kBannerPlateHeight = 47;

void drawStageBanners()
{
    const char* names[] = {"First Stage", "Second Stage", "Third Stage", "Bonus Stage", "Final Stage"};
    const QColor accents[] = {kGreen, kCyan, kYellow, QColor(0xFF, 0x60, 0xE0), kOrange};
    for (int i = 0; i < 5; ++i) {
        QImage img = canvas(250, 50);
        img.fill(Qt::black);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        // On the play screen the opaque ノルマ caption covers the banner's
        // two bottom rows from x 136 on; the plate ends above them, so its
        // rim stays whole.
        const QRectF plateRect(0, 0, 250, kBannerPlateHeight);
        plate(p, plateRect, accents[i], 6);
        // a light sweeping across the plate
        const double mid = plateRect.center().y();
        QRadialGradient sweep(QPointF(125, mid), 120);
        sweep.setColorAt(0, withAlpha(accents[i], 46));
        sweep.setColorAt(1, withAlpha(accents[i], 0));
        p.setPen(Qt::NoPen);
        p.setBrush(sweep);
        p.drawRoundedRect(plateRect.adjusted(5, 5, -5, -5), 4, 4);
        const QPainterPath t = textPath(QString::fromLatin1(names[i]), roman(29, true, true), 125, mid + 10,
                                        Align::Center);
        neonText(p, t, accents[i], 4, 22);
        const QRectF tb = t.boundingRect();
        diamond(p, QPointF(tb.left() - 12, mid), 3.5, kGold);
        diamond(p, QPointF(tb.right() + 12, mid), 3.5, kGold);
        p.end();
        save(img, QStringLiteral("stage_%1.jpg").arg(i + 1));
    }
}

// The practice stage's banner: 練習 in the stage banners' look.
void drawPracticeBanner()
{
    const QColor pink(0xFF, 0x60, 0xE0);
    QImage img = canvas(250, 50);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF plateRect(0, 0, 250, kBannerPlateHeight);
    plate(p, plateRect, pink, 6);
    const double mid = plateRect.center().y();
    QRadialGradient sweep(QPointF(125, mid), 120);
    sweep.setColorAt(0, withAlpha(pink, 46));
    sweep.setColorAt(1, withAlpha(pink, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(sweep);
    p.drawRoundedRect(plateRect.adjusted(5, 5, -5, -5), 4, 4);
    const QPainterPath t = textPath(QStringLiteral("練習"), mincho(28), 100, mid + 10, Align::Center);
    neonText(p, t, pink, 4, 22);
    const QPainterPath sub = textPath(QStringLiteral("Practice"), roman(17, true, true), 150, mid + 8);
    neonText(p, sub, kMist, 3, 12);
    diamond(p, QPointF(t.boundingRect().left() - 14, mid), 3.5, kGold);
    p.end();
    save(img, QStringLiteral("stage_practice.jpg"));
}

void drawResultStrips()
{
    struct Strip { const char* text; QColor color; };
    const Strip strips[] = {
        {"Next Stage", kCyan},
        {"Complete!!", kYellow},
        {"Game over...", QColor(0xFF, 0x40, 0x30)},
    };
    for (int i = 0; i < 3; ++i) {
        QImage img = canvas(600, 50);
        img.fill(Qt::black);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        // the picture hangs 3 px over each side of the window
        const QRectF vis(3, 0, 594, 50);
        QLinearGradient g(0, 0, 0, 50);
        g.setColorAt(0, mix(QColor(0x14, 0x16, 0x28), strips[i].color, 0.10));
        g.setColorAt(1, QColor(0x03, 0x03, 0x08));
        p.fillRect(vis, g);
        QRadialGradient light(QPointF(150, 25), 200);
        light.setColorAt(0, withAlpha(strips[i].color, 40));
        light.setColorAt(1, withAlpha(strips[i].color, 0));
        p.fillRect(vis, light);
        rule(p, 6, 594, 2.5, withAlpha(kGold, 230), 1.2);
        rule(p, 6, 594, 47.5, withAlpha(kGoldLo, 230), 1.2);
        // divider between the two choices
        p.setPen(QPen(withAlpha(kGold, 110), 1));
        p.drawLine(QPointF(388.5, 10), QPointF(388.5, 40));

        // left: what key 4 does
        const QFont f = roman(30, true, true);
        const double w = textWidth(QString::fromLatin1(strips[i].text), f);
        const double x0 = 195 - (w + 42) / 2;
        keycap(p, QRectF(x0, 10, 30, 30), QStringLiteral("4"));
        const QPainterPath t = textPath(QString::fromLatin1(strips[i].text), f, x0 + 42, 36);
        neonText(p, t, strips[i].color, 4, 22);
        if (i == 1) {
            sparkle(p, QPointF(t.boundingRect().right() + 12, 14), 7, kGoldHi);
            sparkle(p, QPointF(x0 - 12, 38), 5, kGoldHi);
        }
        // right: the commentary log
        const QFont j = mincho(26);
        const QString log = QStringLiteral("実況確認");
        const double x1 = 491 - (textWidth(log, j) + 42) / 2;
        keycap(p, QRectF(x1, 10, 30, 30), QStringLiteral("6"));
        neonText(p, textPath(log, j, x1 + 42, 35), kGreen, 3, 16);
        p.end();
        save(img, QStringLiteral("result_%1.jpg").arg(i));
    }
}

constexpr double kRankPlateTop = 11;

void drawRanks()
{
    struct Rank { const char* letter; const char* title; QColor metal; QColor text; };
    const Rank ranks[] = {
        {"E", "見習い", QColor(0x6E, 0x78, 0x70), QColor(0xB0, 0xC0, 0xB0)},
        {"D", "駆け出し", QColor(0xB0, 0x6A, 0x40), QColor(0xFF, 0xB0, 0x80)},
        {"C", "一人前", QColor(0xB0, 0x88, 0x50), QColor(0xFF, 0xD8, 0x90)},
        {"B", "熟練", QColor(0xC8, 0xD0, 0xE0), kCyan},
        {"A", "名人", QColor(0xF0, 0xC0, 0x50), kYellow},
        {"S", "伝説の職人", QColor(0xE0, 0x90, 0xFF), QColor(0xFF, 0x90, 0xF0)},
    };
    // The emblem stands at 312,272 on the final screen, where the digits of
    // the best total (label top 240, 48 px figures) reach down to y 280. Its
    // top rows are that screen's own background, so the plate starts below
    // the digits and nothing crosses them.
    const QImage backdrop = artPiece(QStringLiteral("final.jpg"), QRect(312, 272, 200, 50));
    for (int i = 0; i < 6; ++i) {
        const Rank& r = ranks[i];
        QImage img = backdrop;
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF plateRect(0, kRankPlateTop, 200, 50 - kRankPlateTop);
        plate(p, plateRect, r.metal, 6);
        // medal
        const QPointF c(24, plateRect.center().y());
        if (i == 5) {  // the legend gets a rainbow halo
            QConicalGradient cg(c, 90);
            const QColor bow[] = {QColor(0xFF, 0x40, 0x40), QColor(0xFF, 0xC0, 0x20), QColor(0x40, 0xFF, 0x60),
                                  QColor(0x30, 0xC0, 0xFF), QColor(0xC0, 0x50, 0xFF), QColor(0xFF, 0x40, 0x40)};
            for (int k = 0; k < 6; ++k) cg.setColorAt(k / 5.0, bow[k]);
            p.setPen(Qt::NoPen);
            p.setBrush(cg);
            p.drawEllipse(c, 18, 18);
        } else {
            QRadialGradient halo(c, 20);
            halo.setColorAt(0.7, withAlpha(r.metal, 90));
            halo.setColorAt(1, withAlpha(r.metal, 0));
            p.setPen(Qt::NoPen);
            p.setBrush(halo);
            p.drawEllipse(c, 20, 20);
        }
        QRadialGradient disc(c + QPointF(-5, -6), 22);
        disc.setColorAt(0, mix(r.metal, Qt::white, 0.55));
        disc.setColorAt(0.5, r.metal);
        disc.setColorAt(1, r.metal.darker(250));
        p.setBrush(disc);
        p.setPen(QPen(r.metal.darker(300), 1.2));
        p.drawEllipse(c, i == 5 ? 15 : 16, i == 5 ? 15 : 16);
        p.setPen(QPen(withAlpha(mix(r.metal, Qt::white, 0.5), 160), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, 12.5, 12.5);
        const QPainterPath letter = textPath(QString::fromLatin1(r.letter), roman(23, false, true),
                                             c.x(), c.y() + 8.5, Align::Center);
        p.setPen(QPen(QColor(255, 255, 255, 120), 1.5));
        p.drawPath(letter.translated(0.6, 0.8));
        p.setPen(Qt::NoPen);
        p.setBrush(r.metal.darker(420));
        p.drawPath(letter);

        // rank name
        const QString title = QString::fromUtf8(r.title);
        double px = 24;
        while (textWidth(title, mincho(px)) > 134 && px > 14) px -= 1;
        const QPainterPath t = textPath(title, mincho(px), 120, c.y() + px * 0.36, Align::Center);
        neonText(p, t, r.text, 3, i >= 4 ? 24 : 14);
        if (i == 5) {
            sparkle(p, QPointF(186, kRankPlateTop + 9), 5, Qt::white);
            sparkle(p, QPointF(56, 43), 4, Qt::white);
        }
        p.end();
        save(img, QStringLiteral("rank_%1.jpg").arg(i));
    }
}

// ---------------------------------------------------------------- gauge

const QColor kBlockMeans[10] = {
    QColor(0xF0, 0x07, 0x00), QColor(0xDB, 0x1C, 0x00), QColor(0xC1, 0x36, 0x00),
    QColor(0xA4, 0x52, 0x00), QColor(0x89, 0x6E, 0x00), QColor(0x6D, 0x86, 0x00),
    QColor(0x52, 0xA1, 0x00), QColor(0x36, 0xBD, 0x00), QColor(0x1C, 0xD6, 0x00),
    QColor(0x0B, 0xE7, 0x03)};
const int kBlockPoints[10] = {10, 20, 30, 50, 70, 100, 140, 190, 240, 300};

QColor clampColor(double r, double g, double b)
{
    auto c = [](double v) { return int(std::clamp(std::lround(v), 0L, 255L)); };
    return QColor(c(r), c(g), c(b));
}

constexpr double kBlockFigurePx = 17;

// Relative luminance and contrast ratio as the web's accessibility
// guidelines define them; 4.5 is their floor for ordinary text.
double luminance(const QColor& c)
{
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(c.red()) + 0.7152 * lin(c.green()) + 0.0722 * lin(c.blue());
}
double contrast(const QColor& a, const QColor& b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The block's hue raised until its stronger channel is full: red and green
// only, so the block's mean colour keeps its pure red-to-green run.
QColor chipColor(const QColor& base)
{
    const double top = std::max({base.red(), base.green(), 1});
    return clampColor(base.red() * 255.0 / top, base.green() * 255.0 / top, base.blue());
}

// The figures: the chip's hue taken down just far enough for a contrast of
// 5 to 1; the green end keeps a deep green rather than black, so the block
// still averages its bright target colour.
QColor figureColor(const QColor& chip)
{
    for (int pct = 30; pct > 0; --pct) {
        const QColor c = clampColor(chip.red() * pct / 100.0, chip.green() * pct / 100.0,
                                    chip.blue() * pct / 100.0);
        if (contrast(c, chip) >= 5.0)
            return c;
    }
    return Qt::black;
}

// One gauge block: a bevelled, slightly glossy tile with its points in dark
// figures at the lower right.
QImage block(const QColor& base, int points, bool cutCorner)
{
    // Highlights lean towards yellow rather than white, so a block keeps the
    // pure red-to-green hue of the gauge (no blue creeps in).
    const double top = std::max({base.red(), base.green(), 1});
    auto lift = [&](int v) { return std::min(255, int(v * 255.0 / top) + 44); };
    const QColor shine(lift(base.red()), lift(base.green()), std::min(255, base.blue() + 16));
    QImage img = canvas(40, 50);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    if (cutCorner) {
        shape.moveTo(11, 0);
        shape.lineTo(40, 0);
        shape.lineTo(40, 50);
        shape.lineTo(0, 50);
        shape.lineTo(0, 11);
        shape.closeSubpath();
    } else {
        shape.addRect(0, 0, 40, 50);
    }
    QLinearGradient body(0, 0, 0, 50);
    body.setColorAt(0, mix(base, shine, 0.18));
    body.setColorAt(0.5, base);
    body.setColorAt(1, base.darker(112));
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawPath(shape);
    p.setClipPath(shape);
    // gloss on the upper part
    QLinearGradient gloss(0, 2, 0, 22);
    gloss.setColorAt(0, withAlpha(shine, 80));
    gloss.setColorAt(1, withAlpha(shine, 0));
    p.setBrush(gloss);
    p.drawRoundedRect(QRectF(3, 3, 34, 19), 4, 4);
    // bevel: light from the top left
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(mix(base, shine, 0.5), 2));
    if (cutCorner) {
        p.drawPolyline(QPolygonF({QPointF(1, 49), QPointF(1, 11.4), QPointF(11.4, 1), QPointF(39, 1)}));
    } else {
        p.drawPolyline(QPolygonF({QPointF(1, 49), QPointF(1, 1), QPointF(39, 1)}));
    }
    p.setPen(QPen(mix(base, Qt::black, 0.45), 1));
    p.drawPolyline(QPolygonF({QPointF(1.5, 49.5), QPointF(39.5, 49.5), QPointF(39.5, 1.5)}));
    // The points in dark figures, one size on every block, on a chip of the
    // block's own hue at full brightness: the darker middle blocks (olive,
    // brown) would leave dark figures too faint on the body itself.
    const QString n = QString::number(points);
    const QPainterPath t = textPath(n, sansBold(kBlockFigurePx), 36, 45, Align::Right);
    const QRectF chip = t.boundingRect().adjusted(-2.5, -2.5, 2.5, 2.5);
    p.setPen(Qt::NoPen);
    p.setBrush(chipColor(base));
    p.drawRoundedRect(chip, 2.5, 2.5);
    p.setBrush(figureColor(chipColor(base)));
    p.drawPath(t);
    p.end();
    return img;
}

QColor meanColor(const QImage& img)
{
    double r = 0, g = 0, b = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            r += qRed(c);
            g += qGreen(c);
            b += qBlue(c);
        }
    const double n = double(img.width()) * img.height();
    return clampColor(r / n, g / n, b / n);
}

void drawBlocks(QList<QImage>& blocks)
{
    for (int i = 0; i < 10; ++i) {
        // The dark figures and bevels pull the average away from the body
        // colour; nudge the body until the whole block averages the target.
        const QColor target = kBlockMeans[i];
        double r = target.red(), g = target.green(), b = target.blue();
        QImage img;
        for (int pass = 0; pass < 12; ++pass) {
            img = block(clampColor(r, g, b), kBlockPoints[i], i == 9);
            const QColor m = meanColor(img);
            r += target.red() - m.red();
            g += target.green() - m.green();
            b += target.blue() - m.blue();
        }
        const QColor m = meanColor(img);
        const int d = std::max({std::abs(m.red() - target.red()), std::abs(m.green() - target.green()),
                                std::abs(m.blue() - target.blue())});
        std::printf("gauge_%d mean %s target %s (off by %d)\n", i, qPrintable(m.name()),
                    qPrintable(target.name()), d);
        if (d > 10) fail(QStringLiteral("gauge_%1 mean colour off by %2").arg(i).arg(d));
        save(img, QStringLiteral("gauge_%1.bmp").arg(i));
        blocks.append(img);
    }

}

// The gold tray the blocks sit in. The blocks share the tray's top-left
// corner and cover 400 x 50 of it, so the heavy part of the frame is the lip
// below them and the end cap at the right; the top and left edges are thin
// rims that the lit blocks may cover.
QImage drawTray()
{
    QImage img = canvas(416, 66);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);

    // slots: faint dividers so the empty tray reads as ten places
    for (int k = 1; k < 10; ++k) {
        QLinearGradient d(0, 4, 0, 50);
        d.setColorAt(0, QColor(0x3A, 0x2C, 0x10, 0));
        d.setColorAt(0.5, QColor(0x3A, 0x2C, 0x10, 255));
        d.setColorAt(1, QColor(0x3A, 0x2C, 0x10, 0));
        p.fillRect(QRectF(k * 40 - 0.5, 6, 1, 40), d);
    }
    // a deep shadow inside the rims
    QLinearGradient inner(0, 0, 0, 52);
    inner.setColorAt(0, QColor(0x20, 0x18, 0x08, 160));
    inner.setColorAt(0.15, QColor(0, 0, 0, 0));
    p.fillRect(QRectF(0, 0, 402, 52), inner);

    auto goldBrush = [](QRectF r, bool vertical) {
        QLinearGradient g = vertical ? QLinearGradient(r.topLeft(), r.topRight())
                                     : QLinearGradient(r.topLeft(), r.bottomLeft());
        g.setColorAt(0, kGoldHi);
        g.setColorAt(0.35, kGold);
        g.setColorAt(0.7, kGoldLo);
        g.setColorAt(1, kGoldDeep);
        return QBrush(g);
    };
    // thin rims along the top and the left
    p.setPen(Qt::NoPen);
    p.setBrush(goldBrush(QRectF(0, 0, 416, 3), false));
    p.drawRect(QRectF(0, 0, 404, 3));
    p.setBrush(goldBrush(QRectF(0, 0, 3, 66), true));
    p.drawRect(QRectF(0, 0, 3, 54));
    // the lip below the blocks
    const QRectF lip(0, 52, 416, 14);
    QPainterPath lipPath;
    lipPath.addRoundedRect(lip, 3, 3);
    p.setBrush(goldBrush(lip, false));
    p.drawPath(lipPath);
    // the end cap at the right
    const QRectF cap(402, 0, 14, 66);
    QPainterPath capPath;
    capPath.addRoundedRect(cap, 3, 3);
    p.setBrush(goldBrush(cap, true));
    p.drawPath(capPath);
    // inner shadow lines where the rims meet the black
    p.setPen(QPen(kGoldDeep, 1));
    p.drawLine(QPointF(3.5, 51.5), QPointF(401.5, 51.5));
    p.drawLine(QPointF(401.5, 3.5), QPointF(401.5, 51.5));
    // highlights along the outer edges
    p.setPen(QPen(withAlpha(kGoldHi, 200), 1));
    p.drawLine(QPointF(1, 52.5), QPointF(414, 52.5));
    p.drawLine(QPointF(402.5, 1), QPointF(402.5, 52));
    // a notch under every slot and rivets at the ends
    for (int k = 0; k < 10; ++k) {
        QPainterPath n;
        const double cx = k * 40 + 20;
        n.moveTo(cx - 4, 62);
        n.lineTo(cx + 4, 62);
        n.lineTo(cx, 56);
        n.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(kGoldDeep);
        p.drawPath(n);
        p.setBrush(withAlpha(kGoldHi, 150));
        p.drawRect(QRectF(cx - 4, 62, 8, 0.8));
    }
    for (QPointF c : {QPointF(409, 9), QPointF(409, 30), QPointF(409, 59), QPointF(8, 59)}) {
        QRadialGradient rv(c + QPointF(-1, -1), 3.5);
        rv.setColorAt(0, kGoldHi);
        rv.setColorAt(1, kGoldDeep);
        p.setBrush(rv);
        p.setPen(QPen(kInk, 0.6));
        p.drawEllipse(c, 2.6, 2.6);
    }
    p.end();
    save(img, QStringLiteral("gauge_tray.bmp"));
    return img;
}

// ---------------------------------------------------------------- mascot

// ミルト＝ボーン, the library's mascot: a little bone-white owl with round
// gold spectacles, holding a red book. Drawn at its real 32 x 32 on black.
void drawMascot()
{
    QImage img = canvas(32, 32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor bone(0xF4, 0xEC, 0xD6), shade(0xC4, 0xB4, 0x90), line(0x6A, 0x55, 0x38);

    // ear tufts
    p.setPen(QPen(line, 1));
    p.setBrush(shade);
    p.drawPolygon(QPolygonF({QPointF(5.5, 1.5), QPointF(12, 6), QPointF(6.5, 9)}));
    p.drawPolygon(QPolygonF({QPointF(26.5, 1.5), QPointF(20, 6), QPointF(25.5, 9)}));
    // body and head
    QRadialGradient bodyG(QPointF(13, 16), 17);
    bodyG.setColorAt(0, Qt::white);
    bodyG.setColorAt(0.6, bone);
    bodyG.setColorAt(1, shade);
    p.setBrush(bodyG);
    p.setPen(QPen(line, 1));
    p.drawEllipse(QRectF(6.5, 13.5, 19, 16));
    p.drawEllipse(QRectF(4.5, 3.5, 23, 16));
    p.setPen(Qt::NoPen);
    p.setBrush(bodyG);
    p.drawEllipse(QRectF(7.5, 12, 17, 8));
    // spectacles
    p.setPen(QPen(QColor(0xE8, 0xB0, 0x30), 1.4));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(11.5, 11), 4.1, 4.1);
    p.drawEllipse(QPointF(20.5, 11), 4.1, 4.1);
    p.drawLine(QPointF(15.4, 10.5), QPointF(16.6, 10.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x18, 0x18, 0x30));
    p.drawEllipse(QPointF(12.2, 11.6), 1.9, 2.1);
    p.drawEllipse(QPointF(19.8, 11.6), 1.9, 2.1);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(12.8, 10.8), 0.7, 0.7);
    p.drawEllipse(QPointF(20.4, 10.8), 0.7, 0.7);
    // beak
    p.setBrush(QColor(0xFF, 0x9A, 0x20));
    p.setPen(QPen(QColor(0x90, 0x40, 0x00), 0.6));
    p.drawPolygon(QPolygonF({QPointF(14.5, 15), QPointF(17.5, 15), QPointF(16, 18.2)}));
    // wings
    p.setPen(QPen(line, 0.8));
    p.setBrush(shade);
    p.drawEllipse(QRectF(5.5, 18.5, 6, 9));
    p.drawEllipse(QRectF(20.5, 18.5, 6, 9));
    // a blue book tucked under the right wing, tilted, cream pages showing
    p.save();
    p.translate(19.5, 25);
    p.rotate(-18);
    p.setPen(QPen(QColor(0x0C, 0x18, 0x48), 0.8));
    p.setBrush(QColor(0xFF, 0xF4, 0xD8));
    p.drawRect(QRectF(-5, -4.5, 10, 8));     // page block
    p.setBrush(QColor(0x2C, 0x5C, 0xD8));
    p.drawRect(QRectF(-5.5, -2.5, 10, 6.5)); // front cover
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xF0, 0xC0, 0x40));
    p.drawRect(QRectF(-5, 0, 9, 1.3));
    p.restore();
    // the right wing's tip over the book
    p.setPen(QPen(line, 0.8));
    p.setBrush(shade);
    p.drawEllipse(QRectF(21.5, 21.5, 4.5, 6));
    // feet
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0x9A, 0x20));
    p.drawRect(QRectF(11, 29, 3, 2));
    p.drawRect(QRectF(18, 29, 3, 2));
    p.end();
    save(img, QStringLiteral("mascot.bmp"));
    preview(img.scaled(256, 256, Qt::IgnoreAspectRatio, Qt::FastTransformation), QStringLiteral("mascot_x8.png"));
}

// ---------------------------------------------------------------- icon

// A grey spanner lying on the diagonal, designed on a 32-unit square. The
// shapes are combined at the target size: QPainterPath's boolean operations
// turn curves into straight pieces, which would show as facets at 256 px if
// they were done on the 32-unit design and scaled up afterwards.
QImage spanner(int size)
{
    QImage img(size, size, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const double scale = size / 32.0;
    QTransform t;
    t.scale(scale, scale);
    t.translate(16, 16);
    t.rotate(-45);
    const auto circle = [&](double x, double r) {
        QPainterPath c;
        c.addEllipse(QPointF(x, 0), r, r);
        return t.map(c);
    };
    const auto rect = [&](const QRectF& r, double radius) {
        QPainterPath c;
        c.addRoundedRect(r, radius, radius);
        return t.map(c);
    };
    QPainterPath s = rect(QRectF(-9, -3.2, 18, 6.4), 2.5);           // handle
    s = s.united(circle(-10.5, 7.4)).subtracted(rect(QRectF(-19, -2.9, 9.5, 5.8), 0));  // open jaw
    s = s.united(circle(11, 6)).subtracted(circle(11, 2.8));         // ring end
    QLinearGradient g(t.map(QPointF(0, -7)), t.map(QPointF(0, 7)));
    g.setColorAt(0, QColor(0xF0, 0xF2, 0xF6));
    g.setColorAt(0.45, QColor(0xA8, 0xAE, 0xB8));
    g.setColorAt(1, QColor(0x5A, 0x60, 0x6A));
    // The outline keeps its weight at menu sizes and grows more slowly than
    // the icon, so the large icons are not drawn with a marker pen.
    const double pen = size < 32 ? 1.6 * scale : 1.2 * std::sqrt(scale);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x20, 0x22, 0x28), pen));
    p.setBrush(g);
    p.drawPath(s);
    p.end();
    return img;
}

// Qt writes one image per ICO file; build a two-image file from two of them.
bool writeIcon(const QString& path, const QList<QImage>& images)
{
    QList<QByteArray> datas;
    QList<QByteArray> entries;
    for (const QImage& im : images) {
        QByteArray one;
        QBuffer buf(&one);
        buf.open(QIODevice::WriteOnly);
        QImageWriter w(&buf, "ico");
        if (!w.write(im)) return false;
        if (one.size() < 22) return false;
        const quint32 size = qFromLittleEndian<quint32>(one.constData() + 14);
        const quint32 off = qFromLittleEndian<quint32>(one.constData() + 18);
        entries.append(one.mid(6, 16));
        QByteArray data = one.mid(off, size);
        // Qt leaves the padding at the end of each transparency-mask row
        // uninitialised; clear it so the file comes out the same every time.
        const int rowBytes = (im.width() + 31) / 32 * 4, used = (im.width() + 7) / 8;
        const qsizetype mask = data.size() - qsizetype(rowBytes) * im.height();
        for (int y = 0; mask >= 0 && y < im.height(); ++y)
            for (int x = used; x < rowBytes; ++x) data[mask + y * rowBytes + x] = 0;
        datas.append(data);
    }
    QByteArray out(6, '\0');
    qToLittleEndian<quint16>(1, out.data() + 2);
    qToLittleEndian<quint16>(quint16(images.size()), out.data() + 4);
    quint32 offset = 6 + 16 * images.size();
    for (int i = 0; i < images.size(); ++i) {
        QByteArray e = entries[i];
        qToLittleEndian<quint32>(quint32(datas[i].size()), e.data() + 8);
        qToLittleEndian<quint32>(offset, e.data() + 12);
        out += e;
        offset += datas[i].size();
    }
    for (const QByteArray& d : datas) out += d;
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    return f.write(out) == out.size();
}

void drawIcon()
{
    const QString path = g_out + QStringLiteral("/icon.ico");
    if (!writeIcon(path, {spanner(32), spanner(16)})) {
        fail(path + QStringLiteral(": could not be written"));
        return;
    }
    const QIcon icon(path);
    const QList<QSize> sizes = icon.availableSizes();
    std::printf("icon.ico         sizes:");
    for (const QSize& s : sizes) std::printf(" %dx%d", s.width(), s.height());
    std::printf("\n");
    if (!sizes.contains(QSize(32, 32)) || !sizes.contains(QSize(16, 16)))
        fail(path + QStringLiteral(": QIcon does not see both 32 and 16"));
    QImage big(160, 80, QImage::Format_RGB32);
    big.fill(QColor(0x20, 0x20, 0x20));
    QPainter p(&big);
    p.drawImage(QRect(0, 0, 64, 64), icon.pixmap(32, 32).toImage());
    p.drawImage(QRect(80, 0, 64, 64), icon.pixmap(16, 16).toImage());
    p.end();
    preview(big, QStringLiteral("icon_x2_x4.png"));
}

// The desktop icons for the hicolor theme: the spanner drawn afresh at each
// size, so no size is a blown-up copy of a smaller one.
const int kDesktopIconSizes[] = {16, 32, 48, 64, 128, 256};

void drawDesktopIcons(const QString& dir)
{
    for (const int size : kDesktopIconSizes) {
        const QString path = dir + QStringLiteral("/quennel-%1.png").arg(size);
        QImageWriter w(path, "png");
        if (!w.write(spanner(size)))
            fail(path + QStringLiteral(": ") + w.errorString());
    }
}

// ---------------------------------------------------------------- checks

// A label of the game drawn over a background, for the previews: text set
// from the label's top, clipped to its rectangle.
void mockLabel(QPainter& p, QRect twips, const QString& text, const QColor& c, double pt, Align a)
{
    const QRectF r(twips.x() / 15.0, twips.y() / 15.0, twips.width() / 15.0, twips.height() / 15.0);
    const QFont f = mincho(pt * 4 / 3);
    const double x = a == Align::Right ? r.right() : a == Align::Center ? r.center().x() : r.left();
    p.save();
    p.setClipRect(r);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawPath(textPath(text, f, x, r.top() + QFontMetricsF(f).ascent(), a));
    p.restore();
}

// The screens as the player will see them: background cut to the 594 x 375
// client area, with the design values of their labels and pictures.
void screenMocks()
{
    {
        QImage m = art(QStringLiteral("title.jpg")).copy(0, 0, 594, 375);
        QPainter p(&m);
        p.drawImage(4, 4, art(QStringLiteral("mascot.bmp")));
        p.end();
        preview(m, QStringLiteral("mock_title.png"));
    }
    {
        QImage m = art(QStringLiteral("results.jpg")).copy(0, 0, 594, 375);
        QPainter p(&m);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawImage(172, 8, art(QStringLiteral("stage_1.jpg")));
        p.drawImage(-3, 320, art(QStringLiteral("result_0.jpg")));
        mockLabel(p, QRect(4200, 960, 4095, 855), QStringLiteral("10000"), kGreen, 42, Align::Right);
        mockLabel(p, QRect(4200, 1800, 4095, 735), QStringLiteral("10000"), kCyan, 42, Align::Right);
        mockLabel(p, QRect(4200, 2760, 4095, 855), QStringLiteral("Clear!!"), kOrange, 42, Align::Right);
        mockLabel(p, QRect(4200, 3720, 4095, 855), QStringLiteral("10000"), kYellow, 42, Align::Right);
        p.end();
        preview(m, QStringLiteral("mock_results.png"));
    }
    {
        QImage m = art(QStringLiteral("final.jpg")).copy(0, 0, 594, 375);
        QPainter p(&m);
        p.setRenderHint(QPainter::Antialiasing);
        p.drawImage(312, 272, art(QStringLiteral("rank_5.jpg")));
        mockLabel(p, QRect(4560, 3000, 3015, 735), QStringLiteral("100000"), kYellow, 36, Align::Right);
        mockLabel(p, QRect(4560, 3600, 3015, 735), QStringLiteral("1000"), kGreen, 36, Align::Right);
        p.end();
        preview(m, QStringLiteral("mock_final.png"));
    }
    {
        QImage m = art(QStringLiteral("highscores.jpg")).copy(0, 0, 594, 375);
        QPainter p(&m);
        p.setRenderHint(QPainter::Antialiasing);
        const int tops[12] = {2640, 720, 1080, 1440, 1800, 2160, 5040, 3120, 3480, 3840, 4200, 4560};
        for (int i = 0; i < 12; ++i)
            mockLabel(p, QRect(6240, tops[i], 1695, 495), i ? QStringLiteral("100000") : QStringLiteral("1000000"),
                      i % 6 ? QColor(Qt::white) : kYellow, 24, Align::Right);
        p.end();
        preview(m, QStringLiteral("mock_highscores.png"));
    }
    {
        // contact sheet of the small pictures
        QImage m(620, 5 * 56 + 3 * 56 + 3 * 56 + 10, QImage::Format_RGB32);
        m.fill(QColor(0x30, 0x30, 0x30));
        QPainter p(&m);
        int y = 6;
        for (int i = 1; i <= 5; ++i, y += 56)
            p.drawImage(10 + (i % 2) * 300, y, art(QStringLiteral("stage_%1.jpg").arg(i)));
        for (int i = 0; i < 3; ++i, y += 56) p.drawImage(10, y, art(QStringLiteral("result_%1.jpg").arg(i)));
        for (int i = 0; i < 6; ++i) p.drawImage(10 + (i % 3) * 205, y + (i / 3) * 56, art(QStringLiteral("rank_%1.jpg").arg(i)));
        p.end();
        preview(m, QStringLiteral("sheet.png"));
    }
}

// Reads every file back and checks its size and depth, then composes the
// play screen's gauge for a look.
void checkAll(const QList<QImage>& blocks, const QImage& tray)
{
    struct Want { QString name; int w, h; };
    QList<Want> wants = {{"title.jpg", 600, 380}, {"results.jpg", 600, 380}, {"final.jpg", 600, 380},
                         {"highscores.jpg", 600, 380}, {"progress.jpg", 600, 380}, {"mascot.bmp", 32, 32},
                         {"gauge_tray.bmp", 416, 66}, {"practice.jpg", 600, 380}, {"stage_practice.jpg", 250, 50},
                         {"entry.jpg", 600, 380}, {"entry_result.jpg", 600, 380}, {"title_entry.bmp", 196, 50}};
    for (int i = 1; i <= 5; ++i) wants.append({QStringLiteral("stage_%1.jpg").arg(i), 250, 50});
    for (int i = 0; i < 3; ++i) wants.append({QStringLiteral("result_%1.jpg").arg(i), 600, 50});
    for (int i = 0; i < 6; ++i) wants.append({QStringLiteral("rank_%1.jpg").arg(i), 200, 50});
    for (int i = 0; i < 10; ++i) wants.append({QStringLiteral("gauge_%1.bmp").arg(i), 40, 50});
    for (const int scale : kScales)
    for (const Want& w : wants) {
        const QString path = g_out + QLatin1Char('/') + scaledName(w.name, scale);
        const QImage img(path);
        if (img.isNull()) {
            fail(path + QStringLiteral(": cannot be read back"));
            continue;
        }
        if (img.width() != w.w * scale || img.height() != w.h * scale)
            fail(path + QStringLiteral(": is %1 x %2, wanted %3 x %4")
                            .arg(img.width()).arg(img.height()).arg(w.w * scale).arg(w.h * scale));
        if (w.name.endsWith(QLatin1String(".bmp"))) {
            QFile f(path);
            f.open(QIODevice::ReadOnly);
            const QByteArray head = f.read(30);
            if (head.size() < 30 || qFromLittleEndian<quint16>(head.constData() + 28) != 24)
                fail(path + QStringLiteral(": is not a 24-bit BMP"));
        }
    }
    if (g_preview.isEmpty()) return;
    screenMocks();
    // the gauge as it stands on the play screen: tray at 168,208, block i at
    // 528 - 40 i; show it empty, half full and full
    QImage mock(460, 3 * 80 + 10, QImage::Format_RGB32);
    mock.fill(Qt::black);
    QPainter p(&mock);
    for (int row = 0; row < 3; ++row) {
        const int ty = 10 + row * 80;
        p.drawImage(20, ty, tray);
        const int lit = row == 0 ? 0 : row == 1 ? 5 : 10;
        for (int i = 0; i < lit; ++i) p.drawImage(20 + 360 - 40 * i, ty, blocks[i]);
    }
    p.end();
    preview(mock, QStringLiteral("gauge_mock.png"));
    preview(mock.scaled(mock.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation),
            QStringLiteral("gauge_mock_x2.png"));
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: quennel_artgen <art-dir> [preview-dir]\n"
                             "       quennel_artgen --icons <icon-dir>\n");
        return 2;
    }
    if (argv[1] == std::string_view("--icons")) {
        if (argc != 3 || !QDir().mkpath(QString::fromLocal8Bit(argv[2]))) {
            std::fprintf(stderr, "usage: quennel_artgen --icons <icon-dir>\n");
            return 2;
        }
        drawDesktopIcons(QString::fromLocal8Bit(argv[2]));
        return g_ok ? 0 : 1;
    }
    g_out = QString::fromLocal8Bit(argv[1]);
    if (argc > 2) g_preview = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(g_out) || (!g_preview.isEmpty() && !QDir().mkpath(g_preview))) {
        std::fprintf(stderr, "quennel_artgen: cannot create the output folders\n");
        return 1;
    }
    if (QFontInfo(mincho(20)).family() != QLatin1String("IPAPMincho"))
        fail(QStringLiteral("the IPAPMincho face is not installed (fonts-ipafont-mincho)"));
    if (!QFontInfo(roman(20)).family().startsWith(QLatin1String("P052")) ||
        !QFontInfo(sansBold(20)).family().startsWith(QLatin1String("Nimbus Sans")))
        fail(QStringLiteral("the P052 and Nimbus Sans faces are not installed (fonts-urw-base35)"));

    // Each picture at every scale; the checks and previews use the plain ones.
    QList<QImage> blocks;
    QImage tray;
    for (const int scale : kScales) {
        g_scale = scale;
        drawTitle();
        drawTitle(true);
        drawEntryScreen(false);
        drawEntryScreen(true);
        drawResults();
        drawFinal();
        drawHighScores();
        drawProgress();
        drawStageBanners();
        drawPracticeBanner();
        drawPracticeResult();
        drawResultStrips();
        drawRanks();
        QList<QImage> scaledBlocks;
        drawBlocks(scaledBlocks);
        const QImage scaledTray = drawTray();
        drawMascot();
        if (scale == 1) {
            blocks = scaledBlocks;
            tray = scaledTray;
        }
    }
    g_scale = 1;
    drawIcon();
    checkAll(blocks, tray);
    if (!g_ok) return 1;
    std::printf("all pictures written to %s\n", qPrintable(g_out));
    return 0;
}
