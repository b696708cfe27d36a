#pragma once
// Leaving the game: the quit question and the immediate end.

// "クェネルを終了します。" with OK and Cancel; true when the player chose OK.
// With cancel_default, Enter presses Cancel (the key question); otherwise OK
// (the close box).
bool ask_end(bool cancel_default);

// Esc (and keypad 3 on the title): the key question, Cancel as the default;
// OK ends the program at once, Cancel leaves everything as it was.
void quitByKey();
