#pragma once
// The rules of a 数字入力 test apart from its window: amounts to type drawn
// at random, each key judged against the amount, entries submitted with
// Enter, and the clock counted down in whole seconds. It paints nothing and
// knows no timer: the caller strikes the keys and ticks the seconds.
#include "history/entry_figures.h"

#include <QString>
#include <deque>
#include <functional>

// Amounts a test asks for: 1 to 7 digits before the point, never a leading
// 0, 0 more common than any other digit inside; about one in three with a
// point and two decimals ("4827.05").
constexpr int kAmountLongest = 7;
constexpr double kAmountDecimalsShare = 1.0 / 3.0;
constexpr double kAmountZeroShare = 0.25;
// random() gives uniform numbers 0 <= r < 1.
QString drawAmount(const std::function<double()>& random);

// The amount to type and the ones after it, as the screen shows them.
constexpr int kEntryAmountsShown = 4;
// Characters an entry takes at most; keys beyond are not taken.
constexpr int kEntryLongest = 12;

// What one key did.
struct EntryStrike {
    bool taken = false;      // false: nothing happened (not running, Enter on nothing, too long)
    int key = 0;             // as stored: 0-9, kEntryPoint, kEntryEnter, kEntryBack
    int expected = 0;        // the key a perfect typist strikes here
    bool matched = false;    // key == expected
    bool submitted = false;  // Enter closed an entry
    bool correct = false;    // ... and it equalled the amount
};

class NumberEntry {
public:
    explicit NumberEntry(std::function<double()> random);

    // A new test of this many minutes, not started: fresh amounts, nothing typed.
    void prepare(int minutes);
    void start();
    // One second of the clock off; true when that was the last (time-up).
    bool tick();
    bool running() const { return running_; }
    bool over() const { return over_; }
    int minutes() const { return minutes_; }
    int secondsLeft() const { return secondsLeft_; }

    // A key of the test (as stored). Keys count only while running.
    EntryStrike strike(int key);
    // The key a perfect typist strikes next: the amount's next character
    // while all typed is right, Enter once it is complete, BackSpace while
    // a wrong key stands in it.
    int expected() const;

    const QString& amount() const { return amounts_.front(); }
    // The amounts after the current one, the next first.
    QStringList upcoming() const;
    const QString& typed() const { return typed_; }
    int correct() const { return correct_; }
    int entries() const { return entries_; }
    int netKeys() const { return netKeys_; }
    int grossKeys() const { return grossKeys_; }

private:
    void refill();

    std::function<double()> random_;
    std::deque<QString> amounts_;
    QString typed_;
    int minutes_ = 1;
    int secondsLeft_ = 60;
    bool running_ = false;
    bool over_ = false;
    int correct_ = 0;
    int entries_ = 0;
    int netKeys_ = 0;
    int grossKeys_ = 0;
};

// The character a stored key types, or none for Enter and BackSpace.
QChar entryKeyChar(int key);
