#pragma once
// Checking every page of a large history takes a good part of a second.
// Begun on a thread of its own while the title is shown, the check is
// mostly done when the first game starts, whose opening then takes its
// answer instead of checking again.
#include <QString>

// Starts checking the file at path, read-only, on a thread of its own,
// once an earlier check is done; nothing when it is no regular file.
void checkHistoryAhead(const QString& path);
// Waits for a check begun ahead and says whether it found the file at path
// whole, and the file is unchanged since. False when none was begun for path
// or it found anything else: the caller then checks for itself.
bool historyCheckedAhead(const QString& path);
// Waits for a check begun ahead, its answer unused (the program ends).
void endHistoryCheckAhead();
