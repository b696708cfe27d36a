// The start-up steps the title does not need wait for its first paint and
// run one per turn of the event loop.
#include "app/after_title.h"

#include <QTimer>
#include <QWidget>
#include <QtTest>

namespace {
class PaintCounter : public QObject {
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        paints += event->type() == QEvent::Paint;
        return false;
    }
};
}  // namespace

class AfterTitleTest : public QObject {
    Q_OBJECT

private slots:
    // Nothing runs before the first paint; then the steps in order, and what
    // one step posted is handled before the next step runs.
    void stepsAfterFirstPaint()
    {
        QWidget title;
        title.resize(100, 100);
        PaintCounter counter;
        title.installEventFilter(&counter);
        QStringList log;
        runAfterFirstPaint(&title, {[&] {
                                        log << (counter.paints > 0 ? QStringLiteral("one") : QStringLiteral("unpainted"));
                                        QTimer::singleShot(0, [&] { log << QStringLiteral("posted"); });
                                    },
                                    [&] { log << QStringLiteral("two"); }});
        QTest::qWait(50);
        QVERIFY(log.isEmpty());
        title.show();
        QTRY_COMPARE(log, (QStringList{QStringLiteral("one"), QStringLiteral("posted"), QStringLiteral("two")}));
    }

    // Steps not yet run go with the title window.
    void stepsGoWithTheTitle()
    {
        bool ran = false;
        {
            QWidget title;
            runAfterFirstPaint(&title, {[&] { ran = true; }});
        }
        QTest::qWait(700);   // past the fallback for a title never painted
        QVERIFY(!ran);
    }
};

QTEST_MAIN(AfterTitleTest)
#include "test_after_title.moc"
