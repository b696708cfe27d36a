// Draws the fifteen character pictures of the shipped game (three tapping
// frames for each stage's character) and writes tavo.dat and a fresh
// tavo_s.dat. Run by make-game with the game folder as its argument.
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QTransform>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

const QColor Ink(24, 18, 32);
const int Size = 124;

[[noreturn]] void fail(const QString& what)
{
    std::fprintf(stderr, "make-game-data: %s\n", qPrintable(what));
    std::exit(1);
}

QPainterPath ellipse(QPointF c, qreal rx, qreal ry)
{
    QPainterPath p;
    p.addEllipse(c, rx, ry);
    return p;
}

// Every shape gets the same dark outline, which keeps the five characters
// looking like one cast.
void blob(QPainter& p, const QPainterPath& path, const QColor& fill, qreal pen = 2.0)
{
    p.setPen(QPen(Ink, pen, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(path);
}

void stroke(QPainter& p, const QPainterPath& path, const QColor& colour, qreal width)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

// --- the keypad on the desk --------------------------------------------------

// Key k: 0..8 for 7 8 9 / 4 5 6 / 1 2 3 (top row first), as seen from above.
QRectF keyRect(int k)
{
    return QRectF(41 + (k % 3) * 14, 91 + (k / 3) * 7, 12, 5);
}

QPointF keyCentre(int k)
{
    return keyRect(k).center();
}

void drawDesk(QPainter& p, int litKey)
{
    QLinearGradient wood(0, 96, 0, Size);
    wood.setColorAt(0, QColor(0x86, 0x5a, 0x34));
    wood.setColorAt(1, QColor(0x3e, 0x28, 0x16));
    p.setPen(Qt::NoPen);
    p.setBrush(wood);
    p.drawRect(QRectF(0, 96, Size, Size - 96));
    p.setPen(QPen(Ink, 2));
    p.drawLine(QPointF(0, 96), QPointF(Size, 96));
    p.setPen(QPen(QColor(0xb8, 0x88, 0x55), 1));
    p.drawLine(QPointF(0, 97.5), QPointF(Size, 97.5));

    QPainterPath body;
    body.addRoundedRect(QRectF(36, 86, 52, 36), 4, 4);
    blob(p, body, QColor(0x34, 0x3a, 0x4a));

    if (litKey >= 0) {
        QRadialGradient glow(keyCentre(litKey), 11);
        glow.setColorAt(0, QColor(255, 240, 120, 200));
        glow.setColorAt(1, QColor(255, 240, 120, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(glow);
        p.drawEllipse(keyCentre(litKey), 11, 11);
    }
    auto key = [&](QRectF r, bool lit) {
        if (lit)
            r.translate(0, 1);  // pressed down
        else {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x7c, 0x86, 0x98));
            p.drawRoundedRect(r.translated(0, 1.2), 1.5, 1.5);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(lit ? QColor(0xff, 0xe1, 0x4a) : QColor(0xdf, 0xe4, 0xec));
        p.drawRoundedRect(r, 1.5, 1.5);
    };
    for (int k = 0; k < 9; ++k)
        key(keyRect(k), k == litKey);
    key(QRectF(41, 112, 26, 5), false);  // 0
    key(QRectF(69, 112, 12, 5), false);  // .
}

// Little rays around the key that was just struck.
void drawImpact(QPainter& p, int litKey)
{
    if (litKey < 0)
        return;
    const QPointF c = keyCentre(litKey);
    p.setPen(QPen(QColor(0xff, 0xf3, 0x8a), 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 5; ++i) {
        const qreal a = (200 + i * 35) * M_PI / 180.0;
        p.drawLine(c + QPointF(std::cos(a), std::sin(a)) * 9, c + QPointF(std::cos(a), std::sin(a)) * 14);
    }
}

// --- poses ------------------------------------------------------------------

// Frame 0 rests both hands on the keys, frame 1 strikes 9 with the right
// hand, frame 2 strikes 1 with the left: a hit cycles through them.
struct Pose {
    QPointF bob;
    QPointF leftHand, rightHand;
    bool leftUp = false, rightUp = false;
    int litKey = -1;
    int face = 0;  // 0 calm, 1 striking hard, 2 delighted
};

Pose pose(int frame)
{
    Pose s;
    switch (frame) {
    case 0:
        s.leftHand = keyCentre(3) + QPointF(0, -1.5);
        s.rightHand = keyCentre(5) + QPointF(0, -1.5);
        break;
    case 1:
        s.bob = QPointF(1.5, 1.5);
        s.leftHand = QPointF(31, 74);
        s.leftUp = true;
        s.rightHand = keyCentre(2) + QPointF(0, -1);
        s.litKey = 2;
        s.face = 1;
        break;
    default:
        s.bob = QPointF(-1.5, 1);
        s.leftHand = keyCentre(6) + QPointF(0, -1);
        s.rightHand = QPointF(93, 74);
        s.rightUp = true;
        s.litKey = 6;
        s.face = 2;
        break;
    }
    return s;
}

QPointF headCentre(const Pose& s)
{
    return QPointF(62, 45) + s.bob;
}

void drawSpeedLines(QPainter& p, QPointF hand, bool left)
{
    const qreal dir = left ? -1 : 1;
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.3, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const QPointF a = hand + QPointF(dir * (7 + i * 2), -4 + i * 4);
        p.drawLine(a, a + QPointF(dir * 5, 0));
    }
}

void drawArms(QPainter& p, const Pose& s, const QColor& sleeve, const QColor& hand)
{
    const QPointF hc = headCentre(s);
    const QPointF shoulder[2] = {QPointF(hc.x() - 15, 80 + s.bob.y()), QPointF(hc.x() + 15, 80 + s.bob.y())};
    const QPointF target[2] = {s.leftHand, s.rightHand};
    const bool up[2] = {s.leftUp, s.rightUp};
    for (int i = 0; i < 2; ++i) {
        const qreal side = i == 0 ? -1 : 1;
        const QPointF elbow = up[i] ? shoulder[i] + QPointF(side * 9, 10) : shoulder[i] + QPointF(side * 8, 12);
        QPainterPath arm(shoulder[i]);
        arm.quadTo(elbow, target[i]);
        stroke(p, arm, Ink, 11);
        stroke(p, arm, sleeve, 7);
        blob(p, ellipse(target[i], 5.5, 5), hand);
        if (up[i])
            drawSpeedLines(p, target[i], i == 0);
    }
}

void drawTorso(QPainter& p, const Pose& s, const QColor& cloth)
{
    const qreal cx = 62 + s.bob.x();
    const qreal top = 70 + s.bob.y();
    QPainterPath t;
    t.moveTo(cx - 26, 100);
    t.lineTo(cx - 22, top + 8);
    t.quadTo(cx, top - 6, cx + 22, top + 8);
    t.lineTo(cx + 26, 100);
    t.closeSubpath();
    blob(p, t, cloth);
}

// --- faces ------------------------------------------------------------------

void drawEyes(QPainter& p, QPointF hc, int face, const QColor& colour, qreal spread = 8, qreal y = 2)
{
    const QPointF eye[2] = {hc + QPointF(-spread, y), hc + QPointF(spread, y)};
    if (face == 0) {
        for (const QPointF& e : eye) {
            p.setPen(Qt::NoPen);
            p.setBrush(colour);
            p.drawEllipse(e, 2.6, 3.6);
            p.setBrush(Qt::white);
            p.drawEllipse(e + QPointF(-0.8, -1.3), 1.0, 1.0);
        }
    } else if (face == 1) {
        // > <  : eyes screwed shut with effort
        QPainterPath l(eye[0] + QPointF(-2.5, -2.5));
        l.lineTo(eye[0] + QPointF(2.5, 0));
        l.lineTo(eye[0] + QPointF(-2.5, 2.5));
        QPainterPath r(eye[1] + QPointF(2.5, -2.5));
        r.lineTo(eye[1] + QPointF(-2.5, 0));
        r.lineTo(eye[1] + QPointF(2.5, 2.5));
        stroke(p, l, colour, 1.8);
        stroke(p, r, colour, 1.8);
    } else {
        // ^ ^ : beaming
        for (const QPointF& e : eye) {
            QPainterPath a(e + QPointF(-3, 1.5));
            a.quadTo(e + QPointF(0, -4), e + QPointF(3, 1.5));
            stroke(p, a, colour, 1.8);
        }
    }
}

void drawMouth(QPainter& p, QPointF m, int face)
{
    if (face == 0) {
        QPainterPath a(m + QPointF(-3, 0));
        a.quadTo(m + QPointF(0, 3), m + QPointF(3, 0));
        stroke(p, a, Ink, 1.5);
    } else if (face == 1) {
        blob(p, ellipse(m + QPointF(0, 1), 2.8, 3.2), QColor(0xb0, 0x30, 0x40), 1.4);
    } else {
        QPainterPath d(m + QPointF(-4.5, -0.5));
        d.lineTo(m + QPointF(4.5, -0.5));
        d.quadTo(m + QPointF(0, 7), m + QPointF(-4.5, -0.5));
        blob(p, d, QColor(0xc8, 0x3c, 0x4c), 1.4);
    }
}

void drawCheeks(QPainter& p, QPointF hc, qreal spread = 13, qreal y = 7)
{
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 120, 140, 110));
    p.drawEllipse(hc + QPointF(-spread, y), 3.5, 2.2);
    p.drawEllipse(hc + QPointF(spread, y), 3.5, 2.2);
}

// --- background -------------------------------------------------------------

void drawBackground(QPainter& p, const QColor& tint, int seed, int frame, int sparkles)
{
    QRadialGradient g(QPointF(62, 44), 78);
    g.setColorAt(0, tint);
    g.setColorAt(0.55, tint.darker(260));
    g.setColorAt(1, QColor(6, 6, 12));
    p.fillRect(QRect(0, 0, Size, Size), g);

    QRandomGenerator rng(seed);
    for (int i = 0; i < sparkles; ++i) {
        const QPointF c(4 + rng.bounded(116), 4 + rng.bounded(70));
        if (std::abs(c.x() - 62) < 26 && c.y() > 20)
            continue;  // keep the character's head clear
        const bool bright = (i + frame) % 3 == 0;
        const qreal r = bright ? 3.2 : 1.8;
        QPainterPath star;
        star.moveTo(c + QPointF(0, -r));
        star.quadTo(c, c + QPointF(r, 0));
        star.quadTo(c, c + QPointF(0, r));
        star.quadTo(c, c + QPointF(-r, 0));
        star.quadTo(c, c + QPointF(0, -r));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 250, 220, bright ? 230 : 120));
        p.drawPath(star);
    }
}

// --- the five characters ----------------------------------------------------

// Stage 1: the apprentice, a keen kid in a headband.
void drawApprentice(QPainter& p, int frame)
{
    const Pose s = pose(frame);
    const QPointF hc = headCentre(s);
    const QColor skin(0xff, 0xdb, 0xb8), hair(0x4a, 0x2c, 0x18);
    drawBackground(p, QColor(0x2c, 0x4e, 0xa8), 11, frame, 9);
    drawTorso(p, s, QColor(0x3d, 0x6f, 0xd6));
    QPainterPath collar(QPointF(hc.x() - 8, 73 + s.bob.y()));
    collar.lineTo(hc.x(), 82 + s.bob.y());
    collar.lineTo(hc.x() + 8, 73 + s.bob.y());
    stroke(p, collar, Qt::white, 2.5);

    blob(p, ellipse(hc, 23, 22), hair);
    blob(p, ellipse(hc + QPointF(0, 3), 20, 18.5), skin);
    QPainterPath cap = ellipse(hc + QPointF(0, -1), 22, 20.5).intersected(
        QPainterPath([&] { QPainterPath r; r.addRect(QRectF(hc.x() - 30, hc.y() - 30, 60, 22)); return r; }()));
    for (int i = 0; i < 5; ++i) {
        QPainterPath spike(QPointF(hc.x() - 19 + i * 8, hc.y() - 9));
        spike.lineTo(hc.x() - 15 + i * 8, hc.y() - 2 + (i % 2) * 1.5);
        spike.lineTo(hc.x() - 11 + i * 8, hc.y() - 9);
        spike.closeSubpath();
        cap = cap.united(spike);
    }
    blob(p, cap, hair);

    // Headband with its knot and tails fluttering from frame to frame.
    QPainterPath band;
    band.addRect(QRectF(hc.x() - 24, hc.y() - 13, 48, 5));
    band = band.intersected(ellipse(hc, 23, 22));
    blob(p, band, QColor(0xe8, 0x3c, 0x2c), 1.5);
    const QPointF knot = hc + QPointF(21, -10.5);
    const qreal flap = frame == 0 ? 0 : frame == 1 ? -5 : 4;
    for (int i = 0; i < 2; ++i) {
        QPainterPath tail(knot);
        tail.quadTo(knot + QPointF(8, -3 + i * 5 + flap * 0.5), knot + QPointF(15, 2 + i * 6 + flap));
        stroke(p, tail, Ink, 5.5);
        stroke(p, tail, QColor(0xe8, 0x3c, 0x2c), 3);
    }
    blob(p, ellipse(knot, 3, 3), QColor(0xe8, 0x3c, 0x2c), 1.5);

    drawEyes(p, hc + QPointF(0, 3), s.face, Ink);
    drawCheeks(p, hc + QPointF(0, 3));
    drawMouth(p, hc + QPointF(0, 13), s.face);
    drawDesk(p, s.litKey);
    drawArms(p, s, QColor(0x3d, 0x6f, 0xd6), skin);
    drawImpact(p, s.litKey);
}

// Stage 2: the keypad cat, tapping with its paws.
void drawCat(QPainter& p, int frame)
{
    const Pose s = pose(frame);
    const QPointF hc = headCentre(s) + QPointF(0, 2);
    const QColor fur(0xf2, 0xa2, 0x3c), stripe(0xb8, 0x62, 0x1c), paw(0xff, 0xf6, 0xea);
    drawBackground(p, QColor(0x2a, 0x8a, 0x52), 23, frame, 9);

    const qreal sway = frame == 0 ? 0 : frame == 1 ? 7 : -6;
    QPainterPath tail(QPointF(84, 98));
    tail.cubicTo(QPointF(104, 94), QPointF(100 + sway, 70), QPointF(108 + sway, 60));
    stroke(p, tail, Ink, 9);
    stroke(p, tail, fur, 5.5);

    drawTorso(p, s, fur);
    blob(p, ellipse(QPointF(hc.x(), 90), 11, 10), paw, 1.5);

    // Ears, the left one twitching on the right-hand strike.
    for (int i = 0; i < 2; ++i) {
        const qreal side = i == 0 ? -1 : 1;
        const qreal twitch = (frame == 1 && i == 0) || (frame == 2 && i == 1) ? 3 : 0;
        QPainterPath ear(hc + QPointF(side * 20, -6));
        ear.lineTo(hc + QPointF(side * (17 + twitch), -26 + twitch * 0.5));
        ear.lineTo(hc + QPointF(side * 5, -17));
        ear.closeSubpath();
        blob(p, ear, fur);
        QPainterPath inner(hc + QPointF(side * 16, -10));
        inner.lineTo(hc + QPointF(side * (16 + twitch * 0.8), -21 + twitch * 0.5));
        inner.lineTo(hc + QPointF(side * 9, -16));
        inner.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xff, 0xa8, 0xb8));
        p.drawPath(inner);
    }
    blob(p, ellipse(hc, 23, 19), fur);
    for (int i = -1; i <= 1; ++i) {
        QPainterPath st(hc + QPointF(i * 5, -18));
        st.lineTo(hc + QPointF(i * 4, -12));
        stroke(p, st, stripe, 2.2);
    }
    blob(p, ellipse(hc + QPointF(0, 8), 10, 6.5), paw, 1.4);
    drawEyes(p, hc + QPointF(0, 0), s.face, Ink, 9, 0);
    drawCheeks(p, hc + QPointF(0, 1), 15, 6);
    // nose and the cat's w-shaped mouth
    QPainterPath nose(hc + QPointF(-2, 4.5));
    nose.lineTo(hc + QPointF(2, 4.5));
    nose.lineTo(hc + QPointF(0, 7));
    nose.closeSubpath();
    blob(p, nose, QColor(0xff, 0x7c, 0x98), 1);
    if (s.face == 1) {
        blob(p, ellipse(hc + QPointF(0, 10.5), 2.6, 2.8), QColor(0xb0, 0x30, 0x40), 1.2);
    } else {
        QPainterPath w(hc + QPointF(-4, 8.5));
        w.quadTo(hc + QPointF(-2, 11), hc + QPointF(0, 8));
        w.quadTo(hc + QPointF(2, 11), hc + QPointF(4, 8.5));
        stroke(p, w, Ink, 1.3);
    }
    p.setPen(QPen(Ink, 1));
    for (int i = 0; i < 2; ++i) {
        const qreal side = i == 0 ? -1 : 1;
        p.drawLine(hc + QPointF(side * 10, 7), hc + QPointF(side * 24, 5));
        p.drawLine(hc + QPointF(side * 10, 9), hc + QPointF(side * 24, 10));
    }
    drawDesk(p, s.litKey);
    drawArms(p, s, fur, paw);
    drawImpact(p, s.litKey);
}

// Stage 3: the typing robot, antenna light blinking with each strike.
void drawRobot(QPainter& p, int frame)
{
    const Pose s = pose(frame);
    const QPointF hc = headCentre(s);
    const QColor steel(0xa8, 0xb6, 0xc8), dark(0x5e, 0x6a, 0x7e), led(0x5c, 0xf4, 0xff);
    drawBackground(p, QColor(0x6a, 0x3c, 0xb0), 37, frame, 9);

    QPainterPath body;
    body.addRoundedRect(QRectF(hc.x() - 25, 70 + s.bob.y(), 50, 34), 6, 6);
    blob(p, body, dark);
    const QColor lights[3] = {QColor(0xff, 0x50, 0x50), QColor(0xff, 0xd8, 0x40), QColor(0x50, 0xff, 0x80)};
    for (int i = 0; i < 3; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(i == frame ? lights[i] : lights[i].darker(300));
        p.drawEllipse(QPointF(hc.x() - 6 + i * 6, 78 + s.bob.y()), 2, 2);
    }

    // antenna
    const QPointF tip = hc + QPointF(0, -30);
    QPainterPath mast(hc + QPointF(0, -18));
    mast.lineTo(tip);
    stroke(p, mast, Ink, 3.5);
    stroke(p, mast, steel, 1.5);
    const QColor bulb = lights[(frame + 1) % 3];
    QRadialGradient glow(tip, 9);
    glow.setColorAt(0, QColor(bulb.red(), bulb.green(), bulb.blue(), 170));
    glow.setColorAt(1, QColor(bulb.red(), bulb.green(), bulb.blue(), 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(tip, 9, 9);
    blob(p, ellipse(tip, 3.5, 3.5), bulb, 1.5);

    blob(p, ellipse(hc + QPointF(-22, 2), 4, 6), dark, 1.5);  // ear bolts
    blob(p, ellipse(hc + QPointF(22, 2), 4, 6), dark, 1.5);
    QLinearGradient shine(hc + QPointF(0, -18), hc + QPointF(0, 20));
    shine.setColorAt(0, steel.lighter(125));
    shine.setColorAt(1, steel.darker(125));
    QPainterPath head;
    head.addRoundedRect(QRectF(hc.x() - 21, hc.y() - 18, 42, 37), 9, 9);
    p.setPen(QPen(Ink, 2));
    p.setBrush(shine);
    p.drawPath(head);
    QPainterPath visor;
    visor.addRoundedRect(QRectF(hc.x() - 16, hc.y() - 7, 32, 14), 5, 5);
    blob(p, visor, QColor(0x10, 0x18, 0x2a), 1.5);
    if (s.face == 0) {
        p.setPen(Qt::NoPen);
        p.setBrush(led);
        p.drawRoundedRect(QRectF(hc.x() - 11, hc.y() - 3, 6, 6), 1.5, 1.5);
        p.drawRoundedRect(QRectF(hc.x() + 5, hc.y() - 3, 6, 6), 1.5, 1.5);
    } else {
        drawEyes(p, hc, s.face, led, 8, 0);
    }
    p.setPen(QPen(Ink, 1.4));
    for (int i = 0; i < 4; ++i)
        p.drawLine(QPointF(hc.x() - 4.5 + i * 3, hc.y() + 11), QPointF(hc.x() - 4.5 + i * 3, hc.y() + 15));
    drawDesk(p, s.litKey);
    drawArms(p, s, steel, dark.lighter(140));
    drawImpact(p, s.litKey);
}

// Bonus stage: a bouncing rabbit in a star hoodie among a sky of stars.
void drawRabbit(QPainter& p, int frame)
{
    const Pose s = pose(frame);
    const QPointF hc = headCentre(s) + QPointF(0, 5);
    const QColor fur(0xf6, 0xf2, 0xfa), inner(0xff, 0xa6, 0xc4), hood(0xff, 0xc8, 0x30);
    drawBackground(p, QColor(0xb0, 0x3c, 0x8c), 47, frame, 22);

    drawTorso(p, s, hood);
    QPainterPath star;
    const QPointF sc(hc.x(), 84 + s.bob.y());
    for (int i = 0; i < 10; ++i) {
        const qreal a = (-90 + i * 36) * M_PI / 180.0;
        const qreal r = i % 2 ? 2.5 : 6;
        const QPointF pt = sc + QPointF(std::cos(a), std::sin(a)) * r;
        if (i == 0)
            star.moveTo(pt);
        else
            star.lineTo(pt);
    }
    star.closeSubpath();
    blob(p, star, QColor(0xff, 0x66, 0x55), 1.2);

    // Long ears that swing with every strike.
    const qreal tilt[3][2] = {{-10, 10}, {-24, 4}, {-4, 24}};
    for (int i = 0; i < 2; ++i) {
        const qreal side = i == 0 ? -1 : 1;
        QTransform t;
        t.translate(hc.x() + side * 8, hc.y() - 12);
        t.rotate(tilt[frame][i]);
        blob(p, t.map(ellipse(QPointF(0, -14), 6, 15)), fur);
        p.setPen(Qt::NoPen);
        p.setBrush(inner);
        p.drawPath(t.map(ellipse(QPointF(0, -13), 3, 11)));
    }
    blob(p, ellipse(hc, 21, 18), fur);
    drawEyes(p, hc + QPointF(0, -1), s.face, QColor(0x60, 0x10, 0x30), 8, 0);
    drawCheeks(p, hc, 13, 5);
    blob(p, ellipse(hc + QPointF(0, 5), 2, 1.5), inner, 1);
    drawMouth(p, hc + QPointF(0, 9), s.face);
    drawDesk(p, s.litKey);
    drawArms(p, s, hood, fur);
    drawImpact(p, s.litKey);
}

// Final stage: the old keypad master, beard and twisted headband.
void drawMaster(QPainter& p, int frame)
{
    const Pose s = pose(frame);
    const QPointF hc = headCentre(s);
    const QColor skin(0xf0, 0xc4, 0x98), beard(0xf4, 0xf4, 0xf0), coat(0x26, 0x3e, 0x7e);
    drawBackground(p, QColor(0xb4, 0x58, 0x1c), 59, frame, 9);

    drawTorso(p, s, coat);
    for (int i = 0; i < 2; ++i) {
        const qreal side = i == 0 ? -1 : 1;
        QPainterPath lapel(QPointF(hc.x() + side * 9, 72 + s.bob.y()));
        lapel.lineTo(QPointF(hc.x() + side * 3, 100));
        stroke(p, lapel, Ink, 6);
        stroke(p, lapel, Qt::white, 3.5);
    }

    blob(p, ellipse(hc + QPointF(-20, 3), 4, 5.5), skin, 1.5);  // ears
    blob(p, ellipse(hc + QPointF(20, 3), 4, 5.5), skin, 1.5);
    blob(p, ellipse(hc, 20, 21), skin);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    p.drawEllipse(hc + QPointF(-7, -14), 5, 2.5);  // the polished pate

    // Twisted headband: white with red twists.
    QPainterPath band;
    band.addRect(QRectF(hc.x() - 22, hc.y() - 11, 44, 6));
    band = band.intersected(ellipse(hc, 21, 22));
    blob(p, band, Qt::white, 1.5);
    p.save();
    p.setClipPath(band);
    p.setPen(QPen(QColor(0xd8, 0x20, 0x30), 2));
    for (int i = -24; i < 24; i += 5)
        p.drawLine(hc + QPointF(i, -5), hc + QPointF(i + 4, -11));
    p.restore();

    // Eyebrows: bushy and white.
    for (int i = 0; i < 2; ++i) {
        const qreal side = i == 0 ? -1 : 1;
        const qreal lift = s.face == 1 ? -1.5 : 0;
        QPainterPath brow(hc + QPointF(side * 3, -1 + lift + (s.face == 1 ? 1.5 : 0)));
        brow.quadTo(hc + QPointF(side * 9, -5 + lift), hc + QPointF(side * 15, -1 + lift));
        stroke(p, brow, Ink, 5);
        stroke(p, brow, beard, 3);
    }
    if (s.face == 0) {
        // eyes closed in calm concentration
        for (int i = 0; i < 2; ++i) {
            const qreal side = i == 0 ? -1 : 1;
            QPainterPath e(hc + QPointF(side * 5, 3));
            e.quadTo(hc + QPointF(side * 8.5, 5), hc + QPointF(side * 12, 3));
            stroke(p, e, Ink, 1.6);
        }
    } else {
        drawEyes(p, hc + QPointF(0, 1), s.face == 1 ? 0 : 2, Ink, 8.5, 2.5);
        if (s.face == 1) {  // the master's glint
            p.setPen(QPen(QColor(0xff, 0xf0, 0x80), 1.2));
            const QPointF g = hc + QPointF(14, -2);
            p.drawLine(g + QPointF(-2.5, 0), g + QPointF(2.5, 0));
            p.drawLine(g + QPointF(0, -2.5), g + QPointF(0, 2.5));
        }
    }
    blob(p, ellipse(hc + QPointF(0, 7), 3, 2.5), skin.darker(112), 1.3);  // nose

    const qreal sway = frame == 0 ? 0 : frame == 1 ? 3 : -3;
    QPainterPath b(hc + QPointF(-15, 8));
    b.cubicTo(hc + QPointF(-18, 22), hc + QPointF(-8 + sway, 30), hc + QPointF(sway, 36));
    b.cubicTo(hc + QPointF(8 + sway, 30), hc + QPointF(18, 22), hc + QPointF(15, 8));
    b.quadTo(hc + QPointF(0, 14), hc + QPointF(-15, 8));
    blob(p, b, beard);
    QPainterPath stache(hc + QPointF(-11, 13));
    stache.quadTo(hc + QPointF(-5, 7), hc + QPointF(0, 10));
    stache.quadTo(hc + QPointF(5, 7), hc + QPointF(11, 13));
    stache.quadTo(hc + QPointF(0, 12), hc + QPointF(-11, 13));
    blob(p, stache, beard, 1.5);
    if (s.face == 1)
        blob(p, ellipse(hc + QPointF(0, 16), 2.5, 2.5), QColor(0x90, 0x28, 0x30), 1.2);
    drawDesk(p, s.litKey);
    drawArms(p, s, coat, skin);
    drawImpact(p, s.litKey);
}

QImage character(int stage, int frame)
{
    QImage img(Size, Size, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    switch (stage) {
    case 1: drawApprentice(p, frame); break;
    case 2: drawCat(p, frame); break;
    case 3: drawRobot(p, frame); break;
    case 4: drawRabbit(p, frame); break;
    default: drawMaster(p, frame); break;
    }
    p.end();
    return img.convertToFormat(QImage::Format_RGB888);
}

// --- data files -------------------------------------------------------------

// A text value is quoted only where the reader needs it: a comma inside, or
// blanks at either end.
QString value(const QString& v)
{
    if (v.contains(',') || v != v.trimmed())
        return '"' + v + '"';
    return v;
}

void writeShiftJis(const QString& path, const QStringList& lines)
{
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    QStringEncoder enc("Shift_JIS");
    if (!enc.isValid())
        fail("this Qt cannot encode Shift_JIS");
    const QByteArray bytes = enc.encode(text);
    if (enc.hasError())
        fail(path + ": a character has no Shift_JIS code");
    QStringDecoder dec("Shift_JIS");
    if (QString(dec.decode(bytes)) != text)
        fail(path + ": Shift_JIS text does not read back unchanged");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        fail(path + ": cannot write");
}

const char* const Phrases[] = {
    "おおっと！ 指が止まらない！",
    "見事なタッチ！ まさに職人芸です！",
    "テンキーが悲鳴を上げているぞ！",
    "この集中力、ただ者ではありません！",
    "いったい誰がこの指を止められるのか！",
    "会場のボルテージが上がってきました！",
    "リズムに乗ってきたか！？",
    "右手が、右手が唸りを上げる！",
    "ここは冷静に、一つずつ確実に！",
    "焦りは禁物です！",
    "まるで指先がダンスを踊っているようだ！",
    "解説の方、今のはいかがでしょう？",
    "観客席からも大きな声援が飛んでいます！",
    "これぞテンキー職人への道！",
    "ミスを恐れず攻めていけ！",
    "一瞬の迷いが命取りになるぞ！",
    "流れるようなキータッチ！",
    "テンキーから煙が出そうな勢いだ！",
    "さあ、ゲージを溜めていきたいところ！",
    "連打、連打、また連打ぁっ！",
    "目にも止まらぬ速さとはこのことか！",
    "テンキーとの真剣勝負が続きます！",
    "息をするのも忘れてしまいそうです！",
    "スタジオの皆さん、見ていますか！？",
    "この一打一打に魂がこもっている！",
    "額に汗が光っています！",
    "数字の列が次々と崩れていく！",
    "これは歴史に残る名勝負になるか！？",
    "指先に全神経を集中させています！",
    "ああっと、今のは危なかった！",
    "まだだ、まだ終わらんぞ！",
    "テンキー職人の魂が燃えているっ！",
    "いい顔をしています！ 楽しんでいますね！",
    "キーの並びをよく見て！",
    "私、波木も興奮を抑えきれません！",
    "一気に畳みかけるのか！？",
    "華麗なる指さばき！",
    "天才か！？ それとも努力の賜物か！？",
    "画面の数字が、まるで生き物のようだ！",
    "場内、割れんばかりの大歓声！",
};

struct StageData {
    const char* title;
    int keyRange;
    const char* gaugeStep;
    int quota;  // tens of points
};

// Stages widen the keys from the bottom keypad row to all nine and raise the
// quota; the final stage fills the gauge at half speed, so a miss costs more.
// The quotas add up to 7500, the lowest total that still earns a rank.
const StageData Stages[5] = {
    {"First", 3, "1", 1000},
    {"Second", 6, "1", 1300},
    {"Third", 9, "1", 1500},
    {"Bonus", 9, "1", 1700},
    {"Final", 9, "0.5", 2000},
};

void writeGameData(const QString& game)
{
    QStringList l;
    l << value(QStringLiteral("クェネル　テンキー職人への道"));
    l << QStringLiteral("ステージ名");
    for (const StageData& s : Stages)
        l << value(QString::fromUtf8(s.title));
    l << QStringLiteral("キー範囲");
    for (const StageData& s : Stages)
        l << QString::number(s.keyRange);
    l << QStringLiteral("ゲージ上昇量");
    for (const StageData& s : Stages)
        l << QString::fromLatin1(s.gaugeStep);
    l << QStringLiteral("クリアノルマ");
    for (const StageData& s : Stages)
        l << QString::number(s.quota);
    l << QStringLiteral("キャラクター画像");
    for (int stage = 1; stage <= 5; ++stage)
        for (int frame = 0; frame < 3; ++frame)
            l << QStringLiteral("chara\\s%1_%2.bmp").arg(stage).arg(frame);
    l << QString::number(std::size(Phrases));
    for (const char* ph : Phrases) {
        const QString t = QString::fromUtf8(ph);
        if (t.size() > 24)
            fail(QStringLiteral("phrase longer than one line: ") + t);
        l << value(t);
    }
    writeShiftJis(game + "/tavo.dat", l);

    QStringList zeros;
    for (int i = 0; i < 12; ++i)
        zeros << QStringLiteral("0");
    writeShiftJis(game + "/tavo_s.dat", zeros);
}

}  // namespace

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    if (argc != 2)
        fail("usage: make-game-data GAME_FOLDER");
    const QString game = QString::fromLocal8Bit(argv[1]);
    if (!QDir(game).mkpath("chara"))
        fail(game + "/chara: cannot create");
    for (int stage = 1; stage <= 5; ++stage)
        for (int frame = 0; frame < 3; ++frame) {
            const QString path = QStringLiteral("%1/chara/s%2_%3.bmp").arg(game).arg(stage).arg(frame);
            if (!character(stage, frame).save(path, "BMP"))
                fail(path + ": cannot write");
        }
    writeGameData(game);
    return 0;
}
