#include "platform/window_system.h"

#include <QtGlobal>

DesktopSession currentDesktopSession()
{
    DesktopSession session;
    session.qpaPlatform = qEnvironmentVariable("QT_QPA_PLATFORM");
    session.sessionType = qEnvironmentVariable("XDG_SESSION_TYPE");
    session.waylandDisplay = qEnvironmentVariable("WAYLAND_DISPLAY");
    session.x11Display = qEnvironmentVariable("DISPLAY");
    return session;
}

QString chosenPlatform(const QStringList& arguments, const DesktopSession& session)
{
    if (!session.qpaPlatform.isEmpty())
        return {};
    // Qt takes its options with one dash or two, the value apart or after "=".
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform") ||
            argument.startsWith(QLatin1String("-platform=")) || argument.startsWith(QLatin1String("--platform=")))
            return {};
        if (argument == QLatin1String("--"))
            break;
    }
    const bool wayland = session.sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0 ||
                         !session.waylandDisplay.isEmpty();
    if (wayland && !session.x11Display.isEmpty())
        return QStringLiteral("xcb");
    return {};
}

void chooseWindowSystem(const QStringList& arguments)
{
    const QString platform = chosenPlatform(arguments, currentDesktopSession());
    if (!platform.isEmpty())
        qputenv("QT_QPA_PLATFORM", platform.toLatin1());
}
