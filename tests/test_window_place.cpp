// One window place: the first screen is centred, every screen that
// replaces another opens at its top-left corner, and a message box opens
// centred over the screen that asked.
#include "state/module1.h"
#include "platform/msgbox.h"
#include "screens/forms.h"
#include "support/game_fixture.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QTest>
#include <QTimer>

namespace {
// Centres agree to the half pixel that an odd size leaves.
bool near(QPoint a, QPoint b)
{
    return (a - b).manhattanLength() <= 3;
}
}  // namespace

class WindowPlaceTest : public QObject {
    Q_OBJECT
private slots:
    // Wherever the player drags the game, the next screen opens there:
    // title -> play -> results -> title, and a fresh start is centred.
    void nextScreenOpensWhereTheLastOneStands()
    {
        GameFixture f;
        f.writeFolder();
        QVERIFY(f.startUp());
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(near(form1->frameGeometry().center(), area.center()));

        const QPoint corner(area.left() + 17, area.top() + 23);
        form1->move(corner);
        GameFixture::keypad(form1, 4);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
        QCOMPARE(form3->pos(), corner);

        GameFixture::keypad(form3, 0);
        GameFixture::tickClock(30);
        const QPoint moved = corner + QPoint(40, 30);
        form3->move(moved);
        GameFixture::keypad(form3, 0);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form4"});
        QCOMPARE(form4->pos(), moved);
        GameFixture::keypad(form4, 4);   // quota missed: the title again
        QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
        QCOMPARE(form1->pos(), moved);

        // A place that has left every monitor is given up for the centre.
        form1->move(area.right() + 5000, area.bottom() + 5000);
        GameFixture::keypad(form1, 1);
        QVERIFY(near(form8->frameGeometry().center(), area.center()));
    }

    // The quit question stands in the middle of the screen that asked.
    void messageBoxIsCentredOverTheAskingScreen()
    {
        GameFixture f;
        f.writeFolder();
        QVERIFY(f.startUp());
        form1->move(form1->pos() - QPoint(100, 80));
        form1->activateWindow();
        QRect seen;
        setMessageBoxHandler([&seen](const MessageRequest& request) {
            QTimer::singleShot(50, [&seen] {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    seen = box->frameGeometry();
                    QTest::keyClick(box, Qt::Key_Escape);
                }
            });
            return showRealMessageBox(request);
        });
        GameFixture::escape(form1);
        QVERIFY(!seen.isNull());
        QVERIFY2(near(seen.center(), form1->frameGeometry().center()),
                 qPrintable(QStringLiteral("box %1,%2 window %3,%4")
                                .arg(seen.center().x()).arg(seen.center().y())
                                .arg(form1->frameGeometry().center().x())
                                .arg(form1->frameGeometry().center().y())));
        QVERIFY(f.endRequests.empty());   // the box was cancelled
    }
};

QTEST_MAIN(WindowPlaceTest)
#include "test_window_place.moc"
