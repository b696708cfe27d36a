// The window system: on a Wayland desktop with XWayland the game runs on
// X11 (one window place), unless the player chose a platform; on Wayland
// alone and on X11 Qt chooses.
#include "platform/window_system.h"

#include <QTest>

class WindowSystemTest : public QObject {
    Q_OBJECT
private slots:
    void xcbOnlyWhereWaylandHasXWayland()
    {
        const QStringList plain{QStringLiteral("quennel")};
        DesktopSession wayland{{}, QStringLiteral("wayland"), QStringLiteral("wayland-0"), QStringLiteral(":0")};
        QCOMPARE(chosenPlatform(plain, wayland), QStringLiteral("xcb"));
        // Known by the socket alone (a session type not passed on).
        DesktopSession socketOnly = wayland;
        socketOnly.sessionType.clear();
        QCOMPARE(chosenPlatform(plain, socketOnly), QStringLiteral("xcb"));

        // The player's choice, in the environment or on the command line.
        DesktopSession chosen = wayland;
        chosen.qpaPlatform = QStringLiteral("wayland");
        QVERIFY(chosenPlatform(plain, chosen).isEmpty());
        for (const char* option : {"-platform", "--platform"})
            QVERIFY2(chosenPlatform(plain + QStringList{option, "wayland"}, wayland).isEmpty(), option);
        QVERIFY(chosenPlatform(plain + QStringList{"-platform=wayland"}, wayland).isEmpty());
        // A game folder named like the option is no choice of platform.
        QCOMPARE(chosenPlatform(plain + QStringList{"--game-dir", "platform"}, wayland), QStringLiteral("xcb"));

        DesktopSession waylandAlone = wayland;
        waylandAlone.x11Display.clear();
        QVERIFY(chosenPlatform(plain, waylandAlone).isEmpty());
        const DesktopSession x11{{}, QStringLiteral("x11"), {}, QStringLiteral(":0")};
        QVERIFY(chosenPlatform(plain, x11).isEmpty());
    }
};

QTEST_MAIN(WindowSystemTest)
#include "test_window_system.moc"
