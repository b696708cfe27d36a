#pragma once
class QApplication;

// Opens the audio device, creates the windows, runs the start-up of the
// title screen and, when it succeeds, the game. Returns the exit code.
int runGame(QApplication& app);
