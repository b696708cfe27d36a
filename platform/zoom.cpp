#include "platform/zoom.h"

#include <QByteArray>

std::optional<int> parseZoom(const QString& text)
{
    if (text.size() != 1 || text.at(0) < QLatin1Char('0') || text.at(0) > QLatin1Char('9'))
        return std::nullopt;
    const int zoom = text.at(0).unicode() - '0';
    if (zoom < kMinZoom || zoom > kMaxZoom)
        return std::nullopt;
    return zoom;
}

void applyZoom(int zoom)
{
    if (zoom < kMinZoom || zoom > kMaxZoom)
        return;
    // The zoom replaces the desktop's scale rather than multiplying it:
    // zoom 2 is two screen pixels to a pixel on any desktop. Text sized in
    // points (the message boxes) counts 96 dots to the inch, as at zoom 1,
    // so it grows with the zoom alone.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qunsetenv("QT_SCREEN_SCALE_FACTORS");
    qputenv("QT_FONT_DPI", "96");
    qputenv("QT_SCALE_FACTOR", QByteArray::number(zoom));
}
