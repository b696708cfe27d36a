#pragma once
// Keeping a beaten best: the score table written back to tavo_s.dat.
#include <QString>

// Rewrites the score file from Module1.HighScores. When it cannot (another
// copy of the game holds the file, the disk is full, the file cannot be
// written), the bests stay in memory, the player is told once in a message
// box naming the file and the reason, and the game goes on; they go to the
// file at the next save, the next stage end or the end of the program.
void saveHighScores();

// At a stage end: saves the bests still held in memory, if any, silently.
void retryHeldHighScores();

// At the end of the program: saves the bests still held in memory, if any;
// when they still cannot be saved, says so before the program ends.
void saveHeldHighScores();
// The same without a message box (nobody may be there to close one): the
// player's words when the bests could not be saved, otherwise empty.
QString saveHeldHighScoresAtEnd();
