// The play screen's canvas: it draws the screen exactly as the controls
// draw themselves, and a key reaches the screen in a paint or two of one
// rectangle each, with no control painting on its own.
#include "platform/control_canvas.h"
#include "screens/forms.h"
#include "state/module1.h"
#include "support/game_fixture.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QtTest>

namespace {

// Every digit 1-9 in every stage, so the grid shows the whole keypad.
TestGameData allDigits()
{
    TestGameData data;
    data.keyRanges = {"9", "9", "9", "9", "9"};
    return data;
}

// The paints the play screen's widgets receive, by widget.
class PaintLog : public QObject {
public:
    PaintLog()
    {
        for (QObject* child : form3->children())
            child->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            paints.append({watched, static_cast<QPaintEvent*>(event)->region()});
        return false;
    }
    struct Paint {
        QObject* widget;
        QRegion region;
    };
    QList<Paint> paints;
};

// A window buffer that does not keep the last frame, as on Wayland: what
// the canvas is about to paint is scribbled over first, so whatever the
// canvas leaves out stays wrong.
class ForgetfulBuffer : public QObject {
public:
    explicit ForgetfulBuffer(QWidget* canvas) : canvas_(canvas) { canvas->installEventFilter(this); }
    ~ForgetfulBuffer() override { canvas_->removeEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == canvas_ && event->type() == QEvent::Paint) {
            QPainter painter(canvas_);
            for (const QRect& area : static_cast<QPaintEvent*>(event)->region())
                painter.fillRect(area, Qt::magenta);
            ++scribbled;
        }
        return false;
    }
    int scribbled = 0;

private:
    QWidget* canvas_;
};

// The window's buffer as the window system was handed it.
QImage buffer()
{
    return form3->screen()->grabWindow(form3->winId()).toImage().convertToFormat(QImage::Format_RGB32);
}

// Lets every update asked for so far reach the widgets.
void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// The screen as the canvas draws it, and as the controls draw themselves.
QPair<QImage, QImage> bothWays()
{
    const QImage canvas = form3->grab().toImage();
    form3->canvas->hide();
    const QImage controls = form3->grab().toImage();
    form3->canvas->show();
    return {canvas, controls};
}

}  // namespace

class ControlCanvasTest : public QObject {
    Q_OBJECT

private slots:
    // Ready, after hits over the whole keypad with the gauge lit, after a
    // miss, and totalling: the canvas's picture is the controls' own.
    void drawsWhatTheControlsDraw()
    {
        GameFixture f;
        QVERIFY(f.beginGame(allDigits()));
        auto [ready, readyOwn] = bothWays();
        QCOMPARE(ready, readyOwn);

        GameFixture::keypad(form3, 0);
        QSet<int> struck;
        for (int i = 0; i < 30; ++i) {
            struck.insert(Module1.KeyQueue[0]);
            GameFixture::hitTarget();
        }
        QCOMPARE(struck.size(), 9);
        auto [hits, hitsOwn] = bothWays();
        QCOMPARE(hits, hitsOwn);
        QVERIFY(form3->Image3(0)->isVisibleTo(form3));

        GameFixture::missTarget();
        auto [miss, missOwn] = bothWays();
        QCOMPARE(miss, missOwn);
        QVERIFY(miss != hits);

        GameFixture::escape(form3);
        QVERIFY(form3->Label12->isVisibleTo(form3));
        auto [totalling, totallingOwn] = bothWays();
        QCOMPARE(totalling, totallingOwn);
    }

    // A hit reaches the window in two paints of one rectangle each: the
    // grid first, then the score, the character and the gauge block lit;
    // a miss darkens the blocks in one paint of one rectangle.
    void aHitIsTheGridThenTheRest()
    {
        GameFixture f;
        QVERIFY(f.beginGame(allDigits()));
        GameFixture::keypad(form3, 0);
        settle();
        PaintLog log;
        QRect grid;
        for (int c = 0; c < kKeyGridCells; ++c)
            grid |= form3->Label1(c)->geometry();
        auto litBlocks = [] {
            QRegion lit;
            for (int b = 0; b < kGaugeBlocks; ++b)
                if (form3->Image3(b)->isVisibleTo(form3))
                    lit += form3->Image3(b)->geometry();
            return lit;
        };
        for (int i = 0; i < 12; ++i) {
            const int digit = Module1.KeyQueue[0];
            const QRegion litBefore = litBlocks();
            log.paints.clear();
            GameFixture::hitTarget();
            const QRegion changed = QRegion(form3->Label6(0)->geometry()) + form3->Label6(4)->geometry() +
                                    form3->Image1->geometry() + (litBlocks() - litBefore);
            settle();
            QVERIFY2(log.paints.size() == 2, qPrintable(QString::number(digit)));
            for (const PaintLog::Paint& paint : log.paints) {
                QCOMPARE(paint.widget, form3->canvas);
                QCOMPARE(paint.region.rectCount(), 1);
            }
            QCOMPARE(log.paints[0].region, QRegion(grid));
            const QRegion rest = log.paints[1].region;
            QVERIFY(!rest.intersects(grid));
            QVERIFY((changed - rest).isEmpty());
        }
        QVERIFY(form3->Image3(9)->isVisibleTo(form3));
        // Drawn in those two rectangles, the window's buffer holds the whole
        // screen as a full drawing shows it.
        QCOMPARE(buffer(), form3->grab().toImage().convertToFormat(QImage::Format_RGB32));

        log.paints.clear();
        GameFixture::missTarget();
        settle();
        QCOMPARE(log.paints.size(), 1);
        QCOMPARE(log.paints[0].widget, form3->canvas);
        QCOMPARE(log.paints[0].region.rectCount(), 1);
        QVERIFY(log.paints[0].region.contains(form3->Image3(9)->geometry() |
                                              form3->Image3(0)->geometry()));
    }

    // Whatever Qt asks the canvas to paint is painted: with a buffer that
    // forgets its last frame before every paint, hits over the whole keypad,
    // a miss and the totalling still leave the whole screen in it.
    void paintsAllThatIsAskedFor()
    {
        GameFixture f;
        QVERIFY(f.beginGame(allDigits()));
        GameFixture::keypad(form3, 0);
        settle();
        ForgetfulBuffer forgetful(form3->canvas);
        QSet<int> struck;
        for (int i = 0; i < 30; ++i) {
            struck.insert(Module1.KeyQueue[0]);
            GameFixture::hitTarget();
            settle();
            QCOMPARE(buffer(), form3->grab().toImage().convertToFormat(QImage::Format_RGB32));
        }
        QCOMPARE(struck.size(), 9);
        GameFixture::missTarget();
        settle();
        QCOMPARE(buffer(), form3->grab().toImage().convertToFormat(QImage::Format_RGB32));
        GameFixture::escape(form3);
        settle();
        QCOMPARE(buffer(), form3->grab().toImage().convertToFormat(QImage::Format_RGB32));
        QVERIFY(forgetful.scribbled >= 2 * 30);
    }

    // A control changed on its own (the announcer's box) is drawn again by
    // the canvas, and only where it stands.
    void aChangedControlIsDrawnByTheCanvas()
    {
        GameFixture f;
        QVERIFY(f.beginGame(allDigits()));
        settle();
        PaintLog log;
        form3->Label8->setCaption(QString::fromUtf8("テスト"));
        settle();
        QCOMPARE(log.paints.size(), 1);
        QCOMPARE(log.paints[0].widget, form3->canvas);
        QCOMPARE(log.paints[0].region, QRegion(form3->Label8->geometry()));
    }
};

QTEST_MAIN(ControlCanvasTest)
#include "test_control_canvas.moc"
