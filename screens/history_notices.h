#pragma once
// What the play history reports, shown to the player: its notices at calm
// moments, and at the end whatever could not be written.
#include "history/history_database.h"

// The one sentence a player is told about a problem of the history file.
QString historyNotice(const HistoryReport& report);
inline QString historyNotice(const HistoryDatabase& db) { return historyNotice(db.report()); }

// Shows the waiting notices, one message box each.
void showHistoryNotices();
// The program is about to end: the history's last brief try to write what
// it holds back; if stages still stay unwritten, one message says so.
void finishHistory();
// The same without a message box: the player's words when stages stay
// unwritten, otherwise empty.
QString finishHistoryAtEnd();
