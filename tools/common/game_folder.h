#pragma once
// A copy of a game folder for the tools that run the game on their own
// (the benchmark, the screenshots): whatever the run writes stays there.
#include <QString>

// Copies the files under `from` into `to`, leaving out the data generator's
// sources (tools/); false if any file could not be copied.
bool copyGameFolder(const QString& from, const QString& to);
