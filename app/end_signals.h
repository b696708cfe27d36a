#pragma once
// Ending the game from outside: a logout or shutdown (SIGTERM, SIGHUP),
// Ctrl+C in a terminal (SIGINT) and a lost display end it as its close box
// does, without the question: the bests and the history stages held back
// are written first.
#include <QString>

class QObject;

// Writes what is held back, says on standard error what could not be
// written, and ends the program with exitCode. No message box: nobody may
// be there to close it.
void endGameNow(int exitCode);

// From now on the three signals end the game through endGameNow, with the
// exit status 128 + the signal's number. The handler only writes to a pipe;
// the game's own event loop does the rest.
void endGameOnSignals(QObject* owner);

// A lost display makes Qt end the program through exit(); from now on that
// writes what is held back too, and the status is 1. Called once the
// history's driver may be loaded (it is loaded here, if not yet).
void endGameOnLostDisplay();
