#pragma once
// File names as the game data writes them ("wav\hit.wav") resolved in the
// working directory: '\' or '/' separate components, and each component is
// matched without regard to letter case.
#include <QString>

// The path of an existing entry matching name, or an empty string.
QString resolveGamePath(const QString& name);
// Like resolveGamePath, but only a regular file counts (for reading and
// replacing data files when a folder differs from the file only in case).
QString resolveGameFile(const QString& name);
// True when name resolves to a regular file (a folder of that name does not count).
bool isNormalFile(const QString& name);

// What a name resolves to: nothing, a regular file, a folder, or something
// else (a named pipe, a device, a socket), which the game never opens.
enum class GameEntry { Missing, File, Folder, Special };
GameEntry gameEntryKind(const QString& name);
