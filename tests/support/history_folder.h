#pragma once
// A working folder of its own for each test case of the play history: empty
// at the start, the recorder forgotten, the old working folder back at the
// end; queries against a file through a connection of their own; and
// made-up games whose keys run over the whole keypad.
#include "history/history_database.h"
#include "history/records.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>
#include <vector>

class HistoryFolder {
public:
    // In a test's init(): the folder emptied and made the working folder.
    void enter();
    // In its cleanup(): the recorder closed, the real clock and folder back.
    void leave();
    QString path(const QString& name = QStringLiteral("history.sqlite")) const { return dir_.filePath(name); }
    QString folder() const { return dir_.path(); }

private:
    QTemporaryDir dir_;
    QString oldCurrent_;
};

// Every row `sql` gives on the file at `path` (another program's connection,
// foreign keys enforced as the game does), fields joined by '|'.
QStringList rows(const QString& path, const QString& sql);
// The first value `sql` gives on the file at `path`, or an invalid one.
QVariant scalar(const QString& path, const QString& sql);

// Another program holding a write transaction on the file until released.
class Holder {
public:
    explicit Holder(const QString& path);
    ~Holder() { release(); }
    bool held() const { return held_; }
    void release();

private:
    bool held_ = false;
};

// A key struck `ms` into the stage, right when it is the target.
KeyStroke stroke(int ms, int digit, int target);
// Stage `stage` scoring 100 a stage: `keys` right keys sweeping the keypad
// from `firstDigit` on (1..9 and round again), 30 ms apart from 100 ms.
StageRecord sweepStage(int stage, int keys = 9, int playMs = 29970, int firstDigit = 1);
// A lost game of `mode` begun at `start`, its total the stages' scores.
GameRecord gameOf(const QDateTime& start, GameMode mode, std::vector<StageRecord> stages);
// Every game written in turn; false at the first the file refuses.
bool saveGames(HistoryDatabase& db, std::vector<GameRecord> games);
