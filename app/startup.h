#pragma once
class QApplication;

// The program: reads the command line and the remembered settings, then
// starts Qt and the game. Returns the exit code.
int runQuennel(int& argc, char** argv);

// On the created windows: runs the start-up of the title screen and shows
// it. False when the program must end (the player has been told why).
bool showTitle();

// Creates the windows, runs the start-up of the title screen and, when it
// succeeds, the game; the audio device opens once the title is painted.
// Returns the exit code.
int runGame(QApplication& app);
