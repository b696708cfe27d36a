#pragma once
// What the play history reports, shown to the player: its notices at calm
// moments, and at the end whatever could not be written.

// Shows the waiting notices, one message box each.
void showHistoryNotices();
// The program is about to end: the history's last brief try to write what
// it holds back; if stages still stay unwritten, one message says so.
void finishHistory();
