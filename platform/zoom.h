#pragma once
// The game's zoom: every window, message boxes included, drawn N screen
// pixels to one pixel of the design. Without a zoom Qt follows the
// desktop's own scale. Qt takes its scale only as the application object
// is made, so the zoom is set before that.
#include <QString>
#include <optional>

constexpr int kMinZoom = 1;
constexpr int kMaxZoom = 4;

// The zoom a command-line value names: a whole number from 1 to 4, nothing
// else ("2", not "2.0", "x" or "5").
std::optional<int> parseZoom(const QString& text);

// Makes every window of the program zoom times its design size, whatever
// the desktop's scale. Must run before the QApplication is made; a zoom
// outside 1..4 changes nothing.
void applyZoom(int zoom);
