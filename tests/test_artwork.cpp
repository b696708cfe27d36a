// The program's own pictures where they meet the controls drawn over them:
// nothing hides a digit, cuts a frame or makes a number hard to read.
#include "state/module1.h"
#include "screens/forms.h"

#include <QImage>
#include <QMap>
#include <QtTest>
#include <algorithm>
#include <cmath>

namespace {

QImage artImage(const QString& name)
{
    return QImage(QStringLiteral(":/art/") + name).convertToFormat(QImage::Format_RGB32);
}

int brightest(QRgb c) { return std::max({qRed(c), qGreen(c), qBlue(c)}); }

// Relative luminance and contrast ratio after the web's accessibility
// guidelines, whose floor for ordinary text is 4.5 to 1.
double luminance(QRgb c)
{
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}
double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// Pixels of a window grab that show a label's text in its pure colour.
QList<QPoint> pureTextPixels(const QImage& grab, const Label* label)
{
    QList<QPoint> points;
    const QRgb want = label->foreColor().rgb();
    const QRect r = label->geometry();
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if ((grab.pixel(x, y) & 0xFFFFFF) == (want & 0xFFFFFF))
                points.append(QPoint(x, y));
    return points;
}

}  // namespace

class ArtworkTest : public QObject {
    Q_OBJECT

private slots:
    void init()
    {
        resetModule1();
        createWindows();
    }
    void cleanup() { destroyWindows(); }

    // Final screen: every digit of a six- or seven-digit total and best reads
    // whole whichever rank emblem stands below them.
    void finalScreenDigitsStayWhole()
    {
        for (const char* number : {"148700", "1487000"}) {
            form5->Label3->setCaption(QString::fromLatin1(number));
            form5->Label5->setCaption(QString::fromLatin1(number));
            form5->Image1->hide();
            const QImage bare = form5->grab().toImage().convertToFormat(QImage::Format_RGB32);
            const QList<QPoint> total = pureTextPixels(bare, form5->Label3);
            const QList<QPoint> best = pureTextPixels(bare, form5->Label5);
            QVERIFY2(total.size() > 300 && best.size() > 300, "the digits are drawn");
            // The emblem overlaps the best total's label rectangle.
            QVERIFY(form5->Image1->geometry().intersects(form5->Label5->geometry()));

            form5->Image1->show();
            for (int rank = 0; rank < 6; ++rank) {
                form5->Image1->setPicture(form7->Picture4(rank)->picture);
                const QImage shown = form5->grab().toImage().convertToFormat(QImage::Format_RGB32);
                for (const auto& [label, points] : {std::pair{form5->Label3, total}, std::pair{form5->Label5, best}}) {
                    for (const QPoint& p : points) {
                        if ((shown.pixel(p) & 0xFFFFFF) != (label->foreColor().rgb() & 0xFFFFFF))
                            QFAIL(qPrintable(QStringLiteral("%1, rank %2: digit pixel %3,%4 covered")
                                                 .arg(QLatin1String(number)).arg(rank).arg(p.x()).arg(p.y())));
                    }
                }
            }
        }

        // And the emblems' own plates start below the digits: their top rows
        // are the screen's background, not a rim behind the numbers.
        const QImage background = artImage(QStringLiteral("final.jpg"));
        const QPoint at = form5->Image1->pos();
        form5->Label5->setCaption(QStringLiteral("1487000"));
        form5->Image1->hide();
        const QImage bare = form5->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int lowest = 0;
        for (const QPoint& p : pureTextPixels(bare, form5->Label5))
            lowest = std::max(lowest, p.y());
        for (int rank = 0; rank < 6; ++rank) {
            const QImage emblem = artImage(QStringLiteral("rank_%1.jpg").arg(rank));
            for (int y = 0; y <= lowest + 1 - at.y(); ++y)
                for (int x = 0; x < emblem.width(); ++x) {
                    const QRgb e = emblem.pixel(x, y), b = background.pixel(at.x() + x, at.y() + y);
                    const int d = std::max({std::abs(qRed(e) - qRed(b)), std::abs(qGreen(e) - qGreen(b)),
                                            std::abs(qBlue(e) - qBlue(b))});
                    if (d > 24)
                        QFAIL(qPrintable(QStringLiteral("rank_%1.jpg draws at %2,%3 behind the digits")
                                             .arg(rank).arg(x).arg(y)));
                }
        }
    }

    // Play screen: no stage banner draws where the opaque ノルマ caption
    // covers it, so the banner's frame is never cut.
    void stageBannersClearOfQuotaCaption()
    {
        const QRect banner = form3->Image5->geometry();
        const QRect caption = form3->Label2(0)->geometry();
        const QRect hidden = banner.intersected(caption).translated(-banner.topLeft());
        QVERIFY2(!hidden.isEmpty(), "the caption overlaps the banner");
        for (int stage = 0; stage < 5; ++stage) {
            const QImage img = form7->Picture2(stage)->picture->toImage().convertToFormat(QImage::Format_RGB32);
            QCOMPARE(img.size(), banner.size());
            for (int y = hidden.top(); y <= hidden.bottom(); ++y)
                for (int x = hidden.left(); x <= hidden.right(); ++x)
                    if (brightest(img.pixel(x, y)) > 24)
                        QFAIL(qPrintable(QStringLiteral("stage_%1.jpg draws at %2,%3 under the caption")
                                             .arg(stage + 1).arg(x).arg(y)));
            // The frame itself is there, just above the covered rows.
            int lit = 0;
            for (int x = hidden.left(); x <= hidden.right(); ++x)
                lit += brightest(img.pixel(x, hidden.top() - 2)) > 96;
            QVERIFY2(lit > hidden.width() / 2, "the banner keeps its bottom rim");
        }
    }

    // Title: the artwork's frame steps around the mascot's corner, so no
    // frame line runs under or against the mascot's square.
    void titleCornerClearOfMascot()
    {
        const QImage title = artImage(QStringLiteral("title.jpg"));
        const QRect mascot = form1->Image1->geometry().adjusted(-2, -2, 2, 2);
        for (int y = std::max(0, mascot.top()); y <= mascot.bottom(); ++y)
            for (int x = std::max(0, mascot.left()); x <= mascot.right(); ++x)
                if (brightest(title.pixel(x, y)) > 48)
                    QFAIL(qPrintable(QStringLiteral("title.jpg draws at %1,%2 around the mascot").arg(x).arg(y)));
        // The frame still runs along the top and the left beyond that corner.
        auto lineAcross = [&](QPoint from, QPoint step) {
            int best = 0;
            for (int i = 0; i < 10; ++i)
                best = std::max(best, brightest(title.pixel(from + step * i)));
            return best;
        };
        QVERIFY(lineAcross(QPoint(100, 0), QPoint(0, 1)) > 64);
        QVERIFY(lineAcross(QPoint(0, 100), QPoint(1, 0)) > 64);
    }

    // Gauge: the figures on all ten blocks are one size and stand out from
    // what is behind them by at least 4.5 to 1.
    void gaugeFiguresOneSizeReadable()
    {
        QList<int> heights;
        for (int i = 0; i < 10; ++i) {
            const QImage block = artImage(QStringLiteral("gauge_%1.bmp").arg(i));
            QCOMPARE(block.size(), QSize(40, 50));
            // The figures stand in the lower right quarter on a ground of one
            // colour, the commonest there; the figures' colour is the darkest
            // that fills a real area within that ground.
            const QRect area(12, 25, 28, 25);
            QMap<QRgb, int> counts;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    ++counts[block.pixel(x, y)];
            QRgb ground = 0;
            int most = 0;
            for (auto it = counts.cbegin(); it != counts.cend(); ++it)
                if (it.value() > most) {
                    most = it.value();
                    ground = it.key();
                }
            QRect behind;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (block.pixel(x, y) == ground)
                        behind |= QRect(x, y, 1, 1);
            counts.clear();
            for (int y = behind.top(); y <= behind.bottom(); ++y)
                for (int x = behind.left(); x <= behind.right(); ++x)
                    ++counts[block.pixel(x, y)];
            QRgb figure = ground;
            for (auto it = counts.cbegin(); it != counts.cend(); ++it)
                if (it.value() >= 12 && luminance(it.key()) < luminance(figure))
                    figure = it.key();
            const QByteArray what = QStringLiteral("gauge_%1.bmp").arg(i).toLatin1();
            QVERIFY2(contrast(figure, ground) >= 4.5, what.constData());
            int top = 50, bottom = -1;
            for (int y = behind.top(); y <= behind.bottom(); ++y)
                for (int x = behind.left(); x <= behind.right(); ++x)
                    if (contrast(block.pixel(x, y), figure) < 1.5) {
                        top = std::min(top, y);
                        bottom = std::max(bottom, y);
                    }
            QVERIFY2(bottom >= top, what.constData());
            heights.append(bottom - top + 1);
        }
        const auto [low, high] = std::minmax_element(heights.cbegin(), heights.cend());
        QVERIFY2(*high - *low <= 1, qPrintable(QStringLiteral("figure heights differ: %1").arg(
                                        [&] { QStringList s; for (int h : heights) s << QString::number(h); return s.join(' '); }())));
    }
};

QTEST_MAIN(ArtworkTest)
#include "test_artwork.moc"
