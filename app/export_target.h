#pragma once
// Where an export may write. The game folder's own files are never a
// target; a pipe or a character device named as one is written as a stream;
// anything else that is not a regular file is refused.
#include <QString>

struct ExportTarget {
    enum class Kind {
        Refused,  // reason says why, in the player's words
        Stream,   // a pipe or a character device: written into, never replaced
        File,     // a new or regular file: replaced whole through QSaveFile
    };
    Kind kind = Kind::Refused;
    QString reason;
};

// Sorts target (as given on the command line) against the game folder's
// files in gameDir; links are followed and names compared as the game
// finds its files, whatever their letter case.
ExportTarget exportTarget(const QString& target, const QString& gameDir);
