#pragma once
// The result of a 数字入力 test: net and gross keystrokes per hour, the
// accuracy of the entries, the data-entry lines reached, the slowest keys
// and the most frequent slips of this test, and the best of this length.
// Keypad 4 another test, keypad 0 the title: onKeyDown, set by the test's
// logic, decides.
#include "history/entry_figures.h"
#include "screens/game_window.h"

#include <functional>
#include <optional>
#include <vector>

struct EntryReport {
    int minutes = 1;
    EntryFigures figures;
    std::vector<EntryKeyTime> slowest;
    std::vector<EntryMiss> misses;
    std::optional<double> bestNetKph;  // this length's best in the history, this test included
};

class EntryResultWindow : public GameWindow {
public:
    EntryResultWindow();


    void setReport(EntryReport report);
    const EntryReport& report() const { return report_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    EntryReport report_;
};

extern EntryResultWindow* entryResultWindow;
