#pragma once
// The game's colours, one for each thing a colour tells apart, in two
// palettes: the standard one (the game's own look) and a safe one, drawn
// from the Okabe-Ito colours, whose colours stay apart for players who
// see red and green alike (either kind) or blue and yellow alike. It is
// chosen once at start-up, before any window is built; the screens read
// the chosen one.
#include <QColor>
#include <QString>
#include <array>
#include <optional>

enum class PaletteName { Standard, Safe };

struct Palette {
    // The play grid's digits at full brightness, by keypad row: keys 1-3,
    // 4-6, 7-9. The rows further up the stack are these darkened.
    std::array<QColor, 3> keyRows;
    QColor targetFrame;  // the frame round the key to strike

    // Chart lines and legends, one colour per mode.
    QColor normalMode;
    QColor hardMode;
    QColor practiceMode;
    QColor entryMode;

    // The keypad pages' scale from a fast key to a slow one, and a key
    // with too few presses for a figure.
    QColor fast;
    QColor slow;
    QColor noFigure;
    // The misses grid's scale, from one miss to the most.
    QColor fewMisses;
    QColor mostMisses;
    // The calendar's days: not played, then more and more minutes.
    std::array<QColor, 5> calendarShades;
    // The slowest moves' arrows, first to fifth.
    std::array<QColor, 5> moveArrows;

    // The practice result: a digit that got faster (its frame and text,
    // the key's fill), and one that got slower.
    QColor faster;
    QColor fasterFill;
    QColor slower;
};

const Palette& standardPalette();
const Palette& safePalette();
const Palette& paletteNamed(PaletteName name);

// The palette the game draws with: the standard one until setPalette.
// The object stays the same; setPalette changes what it holds.
const Palette& gamePalette();
void setPalette(PaletteName name);

// A digit 1-9 of the play grid at full brightness, in the chosen palette.
QColor keyRowColor(int digit);
// A colour darkened to shade / 255 of its brightness, as the grid fades
// the keys further up the stack (255: unchanged, 0: black).
QColor shaded(const QColor& color, int shade);

// What --palette takes: "standard" or "safe", nothing else.
std::optional<PaletteName> parsePaletteName(const QString& text);
QString paletteNameText(PaletteName name);
