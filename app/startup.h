#pragma once
#include <QStringList>

class QApplication;

// The program: reads the command line and the remembered settings, then
// starts Qt and the game. Returns the exit code.
int runQuennel(int& argc, char** argv);

// On the title window (the others may be made or not yet): runs the start-up
// of the title screen, which checks and reads the game folder, and shows it.
// False when the program must end (the player has been told why).
bool showTitle();

// The rest of the start-up, once the title is shown: the other windows and
// the character pictures decoded. Done once; false when the program must end
// (the player has been told why). Run after the title's first paint, or
// sooner by the title's first key.
bool finishStartUp();

// The pictures start-up decodes ahead: the title's artwork when the screen
// shows it one pixel to a pixel.
QStringList startUpPictures(bool plainArt);

// Creates the title, runs its start-up and, when it succeeds, the game; the
// other windows and the audio device come once the title is painted.
// Returns the exit code.
int runGame(QApplication& app);
