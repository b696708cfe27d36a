#pragma once
// The history as CSV: one row per stage, each with its game's fields, for
// spreadsheets and scripts.
#include <QString>

class QIODevice;

// The header line's column names, in order.
QStringList historyCsvColumns();

// Writes every stored stage of the history file at dbPath to out (UTF-8,
// comma-separated, a header line first). A missing file gives the header
// alone. On failure returns false and sets message to the player's words.
bool exportHistoryCsv(const QString& dbPath, QIODevice& out, QString& message);

// The command line's export: target "-" is standard output; a file is
// written whole or not at all. Messages go to standard error. Returns the
// exit code.
int runHistoryExport(const QString& dbPath, const QString& target);
