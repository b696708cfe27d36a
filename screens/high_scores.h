#pragma once
// Keeping a beaten best: the score table written back to tavo_s.dat.

// Rewrites the score file from Module1.HighScores. A failure is reported in
// a message box naming the file and the reason; the game goes on. While
// another copy of the game holds the file, the bests stay in memory (the
// player is told once) and go to the file at the next save or at the end.
void saveHighScores();

// At the end of the program: saves the bests still held in memory, if any;
// when they still cannot be saved, says so before the program ends.
void saveHeldHighScores();
