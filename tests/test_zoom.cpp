// The game at zoom 2: twice-as-large artwork, and text, lines and pictures
// drawn at the screen's own resolution rather than enlarged.
#include "app/title.h"
#include "state/module1.h"
#include "platform/zoom.h"
#include "screens/forms.h"
#include "support/game_fixture.h"

#include <QApplication>
#include <QDirIterator>
#include <QImageReader>
#include <QPainter>
#include <QtTest>
#include <cmath>

namespace {

constexpr int kZoom = 2;

QImage grabAtZoom(QWidget* window)
{
    window->repaint();
    return window->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The same window drawn one pixel to a pixel, for comparison.
QImage renderPlain(QWidget* window)
{
    QImage image(window->size(), QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    image.fill(Qt::black);
    window->render(&image);
    return image;
}

// Share of the 2 x 2 blocks of a zoomed region that are one flat colour,
// counting only blocks that are not black. An enlarged picture is all flat
// blocks; one drawn at the screen's resolution is not.
double flatBlockShare(const QImage& zoomed, const QRect& logical)
{
    int blocks = 0, flat = 0;
    for (int y = logical.top(); y <= logical.bottom(); ++y)
        for (int x = logical.left(); x <= logical.right(); ++x) {
            const QRgb a = zoomed.pixel(2 * x, 2 * y), b = zoomed.pixel(2 * x + 1, 2 * y);
            const QRgb c = zoomed.pixel(2 * x, 2 * y + 1), d = zoomed.pixel(2 * x + 1, 2 * y + 1);
            if ((a | b | c | d) == 0xFF000000)
                continue;
            ++blocks;
            if (a == b && a == c && a == d)
                ++flat;
        }
    return blocks ? double(flat) / blocks : 1.0;
}

// Share of the inked pixels of a region that are part-way between the
// background and full ink: the soft rim round the letters. Text drawn at
// twice the resolution has a rim half as wide, relative to its size.
double rimShare(const QImage& image, const QRect& region)
{
    int ink = 0, rim = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) {
            const QRgb c = image.pixel(x, y);
            const int v = std::max({qRed(c), qGreen(c), qBlue(c)});
            if (v < 24)
                continue;
            ++ink;
            if (v < 232)
                ++rim;
        }
    return ink ? double(rim) / ink : 1.0;
}

QRect scaled(const QRect& r, int by)
{
    return QRect(r.topLeft() * by, r.size() * by);
}

}  // namespace

class ZoomTest : public QObject {
    Q_OBJECT

private slots:
    // Every picture of the program has a version of exactly twice its size,
    // redrawn with it (scaled down it matches the plain picture).
    void everyPictureHasItsLargeVersion()
    {
        int pictures = 0;
        QDirIterator it(QStringLiteral(":/art"));
        while (it.hasNext()) {
            const QString path = it.next();
            if (path.contains(QLatin1Char('@')) || path.endsWith(QLatin1String(".ico")))
                continue;
            ++pictures;
            const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
            const QString largePath = path.left(dot) + QStringLiteral("@2x") + path.mid(dot);
            QVERIFY2(QFile::exists(largePath), qPrintable(largePath));
            const QImage plain(path), large(largePath);
            QCOMPARE(large.size(), plain.size() * 2);
            // Tile by tile, so a change to one corner of one version shows.
            const QImage down = large.scaled(plain.size(), Qt::IgnoreAspectRatio,
                                             Qt::SmoothTransformation).convertToFormat(QImage::Format_RGB32);
            const QImage p = plain.convertToFormat(QImage::Format_RGB32);
            constexpr int kTile = 20;
            for (int ty = 0; ty < p.height(); ty += kTile)
                for (int tx = 0; tx < p.width(); tx += kTile) {
                    double diff = 0;
                    int n = 0;
                    for (int y = ty; y < std::min(ty + kTile, p.height()); ++y)
                        for (int x = tx; x < std::min(tx + kTile, p.width()); ++x, ++n) {
                            const QRgb a = p.pixel(x, y), b = down.pixel(x, y);
                            diff += std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
                                    std::abs(qBlue(a) - qBlue(b));
                        }
                    QVERIFY2(diff / (3 * n) < 12,
                             qPrintable(QStringLiteral("%1 differs from its @2x version near %2,%3 (%4)")
                                            .arg(path).arg(tx).arg(ty).arg(diff / (3 * n))));
                }
        }
        QVERIFY(pictures >= 29);
    }

    // The twice-as-large version is taken from 1.5 device pixels to a pixel
    // up; it keeps the picture's own size in pixels.
    void largeVersionFromOneAndAHalf()
    {
        const Picture title = artPicture(QStringLiteral("title.jpg"));
        QCOMPARE(title->size(), QSize(600, 380));
        QCOMPARE(title->pixmapFor(1.0).devicePixelRatio(), 1.0);
        QCOMPARE(title->pixmapFor(1.25).devicePixelRatio(), 1.0);
        QCOMPARE(title->pixmapFor(1.5).devicePixelRatio(), 2.0);
        QCOMPARE(title->pixmapFor(2.0).size(), QSize(1200, 760));
        QCOMPARE(title->pixmapFor(4.0).devicePixelRatio(), 2.0);  // the largest there is
        QCOMPARE(title->pixmapFor(1.0).size(), QSize(600, 380));
        // A picture from the game folder has only its own pixels.
        QPixmap own(10, 10);
        own.fill(Qt::red);
        QCOMPARE(makePicture(own)->pixmapFor(2.0).devicePixelRatio(), 1.0);
    }

    // At zoom 2 a screen is 1188 x 750 device pixels, its artwork is the
    // @2x picture pixel for pixel, and a game-folder picture is smoothed.
    void picturesAtZoomTwo()
    {
        GameFixture game;
        game.writeFolder();
        QVERIFY(game.startUp());
        form1->show();
        QCOMPARE(form1->devicePixelRatio(), 2.0);
        const QImage title = grabAtZoom(form1);
        QCOMPARE(title.size(), QSize(1188, 750));

        const QImage art = QImage(QStringLiteral(":/art/title@2x.jpg")).convertToFormat(QImage::Format_RGB32);
        const QRect mascot = scaled(form1->Image1->geometry(), kZoom);
        const QRect entryLine = scaled(form1->entryLine->geometry(), kZoom);
        int mismatches = 0;
        for (int y = 0; y < title.height(); ++y)
            for (int x = 0; x < title.width(); ++x)
                if (!mascot.contains(x, y) && !entryLine.contains(x, y) && title.pixel(x, y) != art.pixel(x, y))
                    ++mismatches;
        QCOMPARE(mismatches, 0);
        const QImage line = QImage(QStringLiteral(":/art/title_entry@2x.bmp")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(title.copy(entryLine), line);
        const QImage owl = QImage(QStringLiteral(":/art/mascot@2x.bmp")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(title.copy(mascot), owl);

        // A character picture of sharp one-pixel stripes: enlarged blockily
        // it would be all flat 2 x 2 blocks.
        QImage stripes(40, 40, QImage::Format_RGB32);
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 40; ++x)
                stripes.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF2040A0);
        titleScreen->normal();
        form3->Image1->setPicture(makePicture(QPixmap::fromImage(stripes)));
        const QImage play = grabAtZoom(form3);
        const QRect inside = form3->Image1->geometry().adjusted(2, 2, -2, -2);
        QVERIFY2(flatBlockShare(play, inside) < 0.5,
                 qPrintable(QString::number(flatBlockShare(play, inside))));
    }

    // At zoom 2 every border, frame and tick mark covers whole 2 x 2 device
    // pixels exactly where it lies at zoom 1, and text is drawn at the
    // screen's resolution: finer edges, not enlarged pixels.
    void linesAndTextAtZoomTwo()
    {
        GameFixture game;
        game.writeFolder();
        QVERIFY(game.startUp());
        titleScreen->normal();
        form3->Label8->setCaption(QString::fromUtf8("テンキーが悲鳴を上げているぞ！\r\nリズムに乗ってきたか！？"));
        const QImage zoomed = grabAtZoom(form3);
        const QImage plain = renderPlain(form3);
        QCOMPARE(zoomed.size(), plain.size() * 2);

        // The pixels of the lines: label and picture frames, the red frame
        // and the tick marks, wherever nothing lies in front of them.
        QList<QRect> lines;
        // The controls carry no meta-object of their own, so findChildren<Label*>
        // would hand back every widget: tell them apart by their C++ type.
        for (QWidget* child : form3->findChildren<QWidget*>()) {
            if (const auto* label = dynamic_cast<const Label*>(child)) {
                if (label->isVisible() && label->hasBorder())
                    lines << label->geometry();
            } else if (dynamic_cast<const Line*>(child)) {
                lines << child->geometry();
            }
        }
        lines << form3->Image1->geometry() << form3->Shape1->geometry();
        const QList<QRgb> lineColours = {0xFF808080, 0xFFFF0000, 0xFFFFFFFF, 0xFFFFFFC0,
                                         0xFFFFFF80, 0xFFFFFF00, 0xFFFF8000};
        int checked = 0;
        for (const QRect& r : lines) {
            const QRect ring = r.adjusted(0, 0, -1, -1);
            for (int y = ring.top(); y <= ring.bottom(); ++y)
                for (int x = ring.left(); x <= ring.right(); ++x) {
                    const bool edge = r.height() <= 3 || x <= ring.left() + 1 ||
                                      x >= ring.right() - 1 || y <= ring.top() + 1 ||
                                      y >= ring.bottom() - 1;
                    const QRgb want = plain.pixel(x, y);
                    if (!edge || !lineColours.contains(want))
                        continue;
                    ++checked;
                    for (int dy = 0; dy < 2; ++dy)
                        for (int dx = 0; dx < 2; ++dx)
                            if (zoomed.pixel(2 * x + dx, 2 * y + dy) != want)
                                QFAIL(qPrintable(QStringLiteral("line pixel %1,%2 is not whole at zoom 2")
                                                     .arg(x).arg(y)));
                }
        }
        QVERIFY2(checked > 2000, qPrintable(QString::number(checked)));

        // Text: the commentary box and the quota digits.
        for (const QRect& r : {form3->Label8->geometry().adjusted(2, 2, -2, -2),
                               form3->Label7(0)->geometry().adjusted(2, 2, -2, -2)}) {
            QVERIFY2(flatBlockShare(zoomed, r) < 0.9,
                     qPrintable(QString::number(flatBlockShare(zoomed, r))));
            const double rimPlain = rimShare(plain, r), rimZoomed = rimShare(zoomed, scaled(r, kZoom));
            QVERIFY2(rimZoomed < 0.8 * rimPlain,
                     qPrintable(QStringLiteral("soft rim %1 at zoom 2, %2 at zoom 1").arg(rimZoomed).arg(rimPlain)));
        }
    }

    // The zoom a command line may name: a whole number from 1 to 4.
    void zoomValues()
    {
        QCOMPARE(parseZoom(QStringLiteral("1")), std::optional<int>(1));
        QCOMPARE(parseZoom(QStringLiteral("4")), std::optional<int>(4));
        for (const char* bad : {"0", "5", "x", "", "2.0", "-2", "12", " 2", "２"})
            QVERIFY2(!parseZoom(QString::fromUtf8(bad)), bad);
    }
};

int main(int argc, char* argv[])
{
    // As the game does for --zoom 2: before the application object exists.
    applyZoom(kZoom);
    QApplication app(argc, argv);
    ZoomTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_zoom.moc"
