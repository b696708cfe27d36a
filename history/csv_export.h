#pragma once
// The history as CSV: one row per stage, each with its game's fields, for
// spreadsheets and scripts.
#include <QString>

class QIODevice;

// The header line's column names, in order.
QStringList historyCsvColumns();

// Writes every stage of the history at dbPath to out (UTF-8, a header line
// first, which is all a missing file gives). message gets the player's words.
bool exportHistoryCsv(const QString& dbPath, QIODevice& out, QString& message);

// The command line's export to a file (whole or not at all) or "-" for
// standard output; messages go to standard error. Returns the exit code.
int runHistoryExport(const QString& dbPath, const QString& target);
