#pragma once
// Where the command line's CSV exports go: "-" is standard output; a file
// is written whole or not at all. Messages go to standard error.
#include <QString>
#include <functional>

class QIODevice;

// write fills the device; false (with the player's words in message) when
// the history could not be read. Returns the program's exit code.
int writeCsvTo(const QString& target, const std::function<bool(QIODevice& out, QString& message)>& write);
