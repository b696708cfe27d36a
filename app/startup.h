#pragma once
#include <QStringList>

class QApplication;

// The program: reads the command line and the remembered settings, then
// starts Qt and the game. Returns the exit code.
int runQuennel(int& argc, char** argv);

// On the created windows: runs the start-up of the title screen and shows
// it. False when the program must end (the player has been told why).
bool showTitle();

// The pictures start-up wants, in the order it wants them: the character
// pictures tavo.dat names (none if it cannot be read: the start-up then
// says why), then the title's artwork when the screen shows it one pixel to
// a pixel. Worked out on the thread that decodes them ahead.
QStringList startUpPictures(bool plainArt);

// Creates the windows, runs the start-up of the title screen and, when it
// succeeds, the game; the audio device opens once the title is painted.
// Returns the exit code.
int runGame(QApplication& app);
