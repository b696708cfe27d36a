#pragma once
// Which of Qt's window systems the game runs on. On a Wayland desktop the
// compositor places every window itself, so the game's screens would each
// open somewhere else; where XWayland is there too, the game runs on X11
// instead, unless the player chose a platform.
#include <QString>
#include <QStringList>

struct DesktopSession {
    QString qpaPlatform;      // QT_QPA_PLATFORM
    QString sessionType;      // XDG_SESSION_TYPE
    QString waylandDisplay;   // WAYLAND_DISPLAY
    QString x11Display;       // DISPLAY
};

DesktopSession currentDesktopSession();

// The platform to start Qt on, or empty to leave the choice to Qt.
// `arguments` as the program got them (a "-platform" among them is the
// player's choice).
QString chosenPlatform(const QStringList& arguments, const DesktopSession& session);

// Sets QT_QPA_PLATFORM for chosenPlatform; call before QApplication exists.
void chooseWindowSystem(const QStringList& arguments);
