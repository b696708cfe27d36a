#pragma once
// The command line's exports of the play history as CSV (UTF-8, a header
// line first, which is all a missing file gives):
//  - the history: one row per stage, each with its game's fields and the
//    figures worked out from its keys, for spreadsheets and scripts;
//  - the keys: one row per key struck, in the order struck (game, stage,
//    mode, ms since the stage clock started, digit, target, hit 1 or 0),
//    for players who analyse their own play.
#include <QString>
#include <QStringList>

class QIODevice;

// The history export's column names, in order.
QStringList historyCsvColumns();

// Write the history file at dbPath to out. On failure they return false and
// set message to the player's words (a damaged file is set aside, and the
// new one holds nothing to export).
bool exportHistoryCsv(const QString& dbPath, QIODevice& out, QString& message);
bool exportKeysCsv(const QString& dbPath, QIODevice& out, QString& message);

// --export-history and --export-keys: to a file (whole or not at all) or "-"
// for standard output; messages go to standard error. Return the exit code.
int runHistoryExport(const QString& dbPath, const QString& target);
int runKeysExport(const QString& dbPath, const QString& target);
