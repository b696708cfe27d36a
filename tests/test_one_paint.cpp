// A hit on the play screen is painted in one pass over one area, its labels
// copied from looks drawn ahead; the title's start-up steps wait for its
// first paint and let events in between.
#include "app/after_title.h"
#include "screens/forms.h"
#include "state/module1.h"
#include "support/game_fixture.h"

#include <QTimer>
#include <QtTest>

namespace {
// Counts the paint events each control of a window receives.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* window)
    {
        for (QWidget* child : window->findChildren<QWidget*>())
            child->installEventFilter(this);
    }
    QHash<QObject*, int> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints[watched];
        return false;
    }
};

QImage renderWindow(QWidget* window)
{
    QImage image(window->size(), QImage::Format_RGB32);
    window->render(&image);
    return image;
}
}  // namespace

class OnePaintTest : public QObject {
    Q_OBJECT

private slots:
    // A hit repaints everything in the area round grid, score, gauge and
    // character once, in one pass, unchanged controls in it included.
    void hitPaintsItsAreaOnce()
    {
        GameFixture f;
        f.writeFolder();
        QVERIFY(f.startUp());
        GameFixture::keypad(form1, 4);
        GameFixture::keypad(form3, 0);
        form3->Timer1->stop();   // no clock tick moves the marker meanwhile
        QVERIFY(QTest::qWaitForWindowExposed(form3));
        QTest::qWait(50);
        PaintCounter counter(form3);
        const int target = Module1.KeyQueue[0];
        QTest::keyClick(form3, Qt::Key(Qt::Key_0 + target), Qt::KeypadModifier);
        QCoreApplication::processEvents();
        QCOMPARE(Module1.AnimFrame, 1);
        const QRect area = form3->hitArea();
        // The high-score digits lie inside the area and did not change.
        for (QWidget* w : {static_cast<QWidget*>(form3->Label5(2)), static_cast<QWidget*>(form3->Label1(11)),
                           static_cast<QWidget*>(form3->Label6(3)), static_cast<QWidget*>(form3->Image1)}) {
            QVERIFY(area.contains(w->geometry()));
            QCOMPARE(counter.paints.value(w), 1);
        }
        // Outside it (the time marker) nothing was painted.
        QCOMPARE(counter.paints.value(form3->Image2), 0);
    }

    // Labels copied from looks drawn ahead show the very pixels of labels
    // drawn afresh: the play screen after hits of every digit, both modes.
    void drawnAheadLooksIdentical()
    {
        GameFixture f;
        f.writeFolder();
        QVERIFY(f.startUp());
        for (int mode : {4, 6}) {
            GameFixture::keypad(form1, mode);
            Module1.Stage = 2;   // keys 1..9
            form4->n_stage();
            GameFixture::keypad(form3, 0);
            QSet<int> seen;
            for (int i = 0; i < 60 && seen.size() < 9; ++i) {
                seen.insert(Module1.KeyQueue[0]);
                form3->n_input(Module1.KeyQueue[0]);
            }
            QCOMPARE(seen.size(), 9);
            const QImage ahead = renderWindow(form3);
            setLabelLooksDrawnAhead(false);
            const QImage fresh = renderWindow(form3);
            setLabelLooksDrawnAhead(true);
            QCOMPARE(ahead, fresh);
            form3->giveup();
            form3->gameend();
            GameFixture::keypad(form4, 4);
            QVERIFY(form1->isVisible());
        }
    }

    // Start-up steps run in order only after the title's first paint, and
    // what was posted by one step is handled before the next.
    void stepsAfterFirstPaint()
    {
        QWidget title;
        title.resize(100, 100);
        QStringList log;
        PaintCounter counter(&title);
        title.installEventFilter(&counter);
        runAfterFirstPaint(&title, {[&] {
                                        log << (counter.paints.value(&title) > 0 ? QStringLiteral("one") : QStringLiteral("unpainted"));
                                        QTimer::singleShot(0, [&] { log << QStringLiteral("posted"); });
                                    },
                                    [&] { log << QStringLiteral("two"); }});
        QTest::qWait(20);
        QVERIFY(log.isEmpty());   // not painted yet: nothing ran
        title.show();
        QTRY_COMPARE(log, (QStringList{QStringLiteral("one"), QStringLiteral("posted"), QStringLiteral("two")}));
    }
};

QTEST_MAIN(OnePaintTest)
#include "test_one_paint.moc"
