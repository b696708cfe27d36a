#include "state/palette.h"

#include <algorithm>

namespace {
// Both palettes role by role. Built on first use, so the screens' colours
// that refer to them as the program starts find them ready.
Palette makeStandard()
{
    const QColor slow(0xC8, 0x3C, 0x28);
    return {
        .keyRows = {QColor(0x00, 0xFF, 0x00), QColor(0x00, 0xFF, 0xFF), QColor(0xFF, 0xFF, 0x00)},
        .targetFrame = QColor(0xFF, 0x00, 0x00),
        .normalMode = QColor(0x00, 0xFF, 0x00),
        .hardMode = QColor(0xFF, 0x80, 0x00),
        .practiceMode = QColor(0xFF, 0x60, 0xE0),
        .entryMode = QColor(0xA0, 0x8C, 0xFF),
        .fast = QColor(0x1E, 0x78, 0x64),
        .slow = slow,
        .noFigure = QColor(0x30, 0x30, 0x44),
        .fewMisses = QColor(0x50, 0x30, 0x20),
        .mostMisses = QColor(0xFF, 0x80, 0x00),
        .calendarShades = {QColor(0x1C, 0x24, 0x38), QColor(0x00, 0x55, 0x1E), QColor(0x00, 0x90, 0x28),
                           QColor(0x10, 0xC8, 0x30), QColor(0x80, 0xFF, 0x60)},
        .moveArrows = {slow.lighter(150), QColor(0xFF, 0x80, 0x00), QColor(0xFF, 0xFF, 0x00),
                       QColor(0x00, 0xFF, 0xFF), QColor(0xB8, 0xC4, 0xDC)},
        .faster = QColor(0x00, 0xFF, 0x00),
        .fasterFill = QColor(0x1E, 0x78, 0x64),
        .slower = slow,
    };
}

// Blue, reddish purple and yellow rows under a vermilion frame: apart in
// lightness as well as in hue, so they hold when one kind of cone is
// missing. The scales run from dark blue to dark orange (the calendar's
// from dark blue to yellow), never from green to red.
Palette makeSafe()
{
    const QColor blue(0x3D, 0x9B, 0xFF), purple(0xCC, 0x79, 0xA7), yellow(0xF0, 0xE4, 0x42);
    const QColor vermilion(0xD5, 0x5E, 0x00), skyBlue(0x56, 0xB4, 0xE9), amber(0xE6, 0x9F, 0x00);
    const QColor darkBlue(0x0B, 0x4F, 0x8A);
    return {
        .keyRows = {blue, purple, yellow},
        .targetFrame = vermilion,
        .normalMode = blue,
        .hardMode = vermilion,
        .practiceMode = purple,
        .entryMode = yellow,
        .fast = darkBlue,
        .slow = QColor(0xA8, 0x4A, 0x00),
        .noFigure = QColor(0x30, 0x30, 0x44),
        .fewMisses = QColor(0x50, 0x30, 0x20),
        .mostMisses = amber,
        .calendarShades = {QColor(0x1C, 0x24, 0x38), QColor(0x3B, 0x52, 0x8B), QColor(0x21, 0x91, 0x8C),
                           QColor(0x5E, 0xC9, 0x62), QColor(0xFD, 0xE7, 0x25)},
        .moveArrows = {QColor(0xFF, 0x6E, 0x1E), skyBlue, yellow, purple, QColor(0xFF, 0xFF, 0xFF)},
        .faster = skyBlue,
        .fasterFill = darkBlue,
        .slower = amber,
    };
}

Palette& chosen()
{
    static Palette current = standardPalette();
    return current;
}
}  // namespace

const Palette& standardPalette()
{
    static const Palette standard = makeStandard();
    return standard;
}

const Palette& safePalette()
{
    static const Palette safe = makeSafe();
    return safe;
}

const Palette& paletteNamed(PaletteName name)
{
    return name == PaletteName::Safe ? safePalette() : standardPalette();
}

const Palette& gamePalette()
{
    return chosen();
}

void setPalette(PaletteName name)
{
    chosen() = paletteNamed(name);
}

QColor keyRowColor(int digit)
{
    return gamePalette().keyRows[static_cast<size_t>(std::clamp((digit - 1) / 3, 0, 2))];
}

QColor shaded(const QColor& color, int shade)
{
    shade = std::clamp(shade, 0, 255);
    return QColor(color.red() * shade / 255, color.green() * shade / 255, color.blue() * shade / 255);
}

std::optional<PaletteName> parsePaletteName(const QString& text)
{
    if (text == QLatin1String("standard"))
        return PaletteName::Standard;
    if (text == QLatin1String("safe"))
        return PaletteName::Safe;
    return std::nullopt;
}

QString paletteNameText(PaletteName name)
{
    return name == PaletteName::Safe ? QStringLiteral("safe") : QStringLiteral("standard");
}
