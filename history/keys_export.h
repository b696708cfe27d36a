#pragma once
// Every key struck, one CSV row each, for players who analyse their own
// play: game, stage, mode, ms since the stage clock started, digit,
// target, hit (1 or 0).
#include <QString>

class QIODevice;

// Writes the keys of the history file at dbPath to out (UTF-8, a header
// line first, in the order struck). A missing file gives the header alone.
// On failure returns false and sets message to the player's words.
bool exportKeysCsv(const QString& dbPath, QIODevice& out, QString& message);

// The command line's --export-keys (target "-": standard output). Returns
// the exit code.
int runKeysExport(const QString& dbPath, const QString& target);
