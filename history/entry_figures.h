#pragma once
// The figures of a 数字入力 test (typing amounts on the keypad), worked out
// from its stored keys the way data-entry tests score: keystrokes per hour,
// net (the keys of correct entries) and gross (every key struck), and the
// accuracy of whole entries.
#include "history/history_database.h"
#include "history/stage_figures.h"

#include <QString>
#include <array>
#include <optional>
#include <vector>

// The keys as stored in a test's key rows: digits 0-9 as themselves, then these.
constexpr int kEntryPoint = 10;  // the decimal point
constexpr int kEntryEnter = 11;  // Enter: the entry is submitted
constexpr int kEntryBack = 12;   // BackSpace (or keypad -): the last key is erased
constexpr int kEntryKeys = 13;

// "0".."9", ".", "enter", "back"; the export writes these.
QString entryKeyName(int key);
// The key as the screens show it: "0".."9", ".", "Enter", "BS".
QString entryKeyLabel(int key);

// The usual data-entry lines (net keystrokes per hour) and the accuracy
// they are asked at.
constexpr int kEntryLines[] = {8000, 10000, 12000};
constexpr double kEntryAccuracyWanted = 0.98;

// The test lengths the player can choose, in minutes.
constexpr int kEntryLengths[] = {1, 3, 5};

struct EntryFigures {
    int netKeys = 0;    // the characters of each correct entry and its Enter
    int grossKeys = 0;  // every key struck, erasing ones and wrong entries too
    int correct = 0;    // entries that equal their amount
    int entries = 0;    // entries submitted (Enter on something typed)
    int playMs = 0;

    std::optional<double> netKph() const;
    std::optional<double> grossKph() const;
    // correct / entries; empty before the first entry.
    std::optional<double> accuracy() const;
    // The line is reached at the accuracy the tests ask for.
    bool meets(int kph) const;
};

// Replays the keys: what was typed is rebuilt key by key, each Enter closes
// an entry, correct when its key matched (the typed text was the amount).
EntryFigures entryFigures(const StageRecord& test);

// The slowest keys: for each key that came right, the median time from the
// key before it; keys seen fewer than kEntryTimedAtLeast times are left out.
constexpr int kEntryTimedAtLeast = 3;
struct EntryKeyTime {
    int key = 0;
    int medianMs = 0;
    int count = 0;
};
std::vector<EntryKeyTime> slowestEntryKeys(const StageRecord& test, int n);

// The most frequent slips: the key wanted and the key struck instead, for
// keys struck while everything typed before them was right.
struct EntryMiss {
    int wanted = 0;
    int struck = 0;
    int count = 0;
};
std::vector<EntryMiss> frequentEntryMisses(const StageRecord& test, int n);

// A test's length in whole minutes, from how long its clock ran.
int entryMinutes(int playMs);
// The best net keystrokes per hour among the stored tests of this length;
// empty when there is none (or the file cannot be read: noted on db).
std::optional<double> bestEntryKph(HistoryDatabase& db, int minutes);

// The keypad pages' figures over many tests: for each key the keypad has
// (0-9, '.', Enter; erasing is no key of an amount), the presses while it
// was the key wanted, its median time from the key before it when struck
// right, and what was struck instead. Keys struck while a slip still
// stands are left out: they only follow from it.
constexpr int kEntryPadKeys = 12;
struct EntryKeypad {
    int games = 0;
    int keys = 0;  // every key struck
    std::array<DigitFigures, kEntryPadKeys> pad{};  // key 0 first, then '.', Enter
    // Misses: [key wanted][key struck], both among the keypad's keys.
    std::array<std::array<int, kEntryPadKeys>, kEntryPadKeys> misses{};

    const DigitFigures& key(int k) const { return pad[static_cast<size_t>(k)]; }
    int missCount(int wanted, int struck) const
    {
        return misses[static_cast<size_t>(wanted)][static_cast<size_t>(struck)];
    }
};
// A key gets figures from minKeys presses on.
EntryKeypad entryKeypad(const std::vector<GameRecord>& tests, int minKeys = kInsightMinKeys);
// The most frequent misses of the grid, most first (then by key wanted, struck).
std::vector<EntryMiss> topEntryMisses(const EntryKeypad& pad, int n);
