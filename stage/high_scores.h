#pragma once
// Keeping a beaten best: the score table written back to tavo_s.dat.

// Rewrites the score file from Module1.HighScores. A failure is reported in
// a message box naming the file and the reason; the game goes on.
void saveHighScores();
