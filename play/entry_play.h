#pragma once
// A 数字入力 test from the title to its result: the length chosen, the
// spoken count-down, every key judged, written to the history and answered
// with the hit or miss sound on Enter, the clock counted down a second at a
// time, 集計中 at time-up, and the result with the best of this length.
#include "play/number_entry.h"

#include <QPointer>
#include <QTimer>
#include <functional>

class QWidget;

class EntryPlay {
public:
    EntryPlay();

    // The test's screen, shown in place of `from`, ready to choose its
    // length (this one chosen first).
    void open(QWidget* from, int minutes);
    // Called with the length the player chooses (to remember it).
    std::function<void(int minutes)> lengthChosen;

    // The keys of the test's screen and of its result screen.
    void key(int KeyCode);
    void resultKey(int KeyCode);
    // One second of the test's clock: the timer's tick.
    void tick();

    const NumberEntry& test() const { return test_; }
    QTimer* timer() const { return timer_; }

private:
    void start();
    void strike(int key);
    void timeUp();
    void showResult();

    NumberEntry test_;
    QPointer<QTimer> timer_;
};

EntryPlay& entryPlay();

// The key of the test a screen's key code stands for, or -1.
int entryKeyOfCode(int KeyCode);
