#pragma once
// The 数字入力 screen: before the start the test's length, during the test
// the amount to type (large, in the red frame of the key to strike), what
// has been typed under it, the next amounts below, and the time left;
// after time-up 集計中 over the clock. It paints what it is told; the keys
// go to onKeyDown, set by the test's logic.
#include "screens/game_window.h"

#include <QStringList>
#include <functional>

struct EntryScreen {
    enum class Phase { Choosing, Running, Over };
    Phase phase = Phase::Choosing;
    int minutes = 1;
    QString amount;
    QStringList upcoming;
    QString typed;
    int secondsLeft = 60;
    int correct = 0;
    int entries = 0;
};

class EntryWindow : public GameWindow {
public:
    EntryWindow();


    // Before the start: the length chosen, nothing to type yet.
    void showChoosing(int minutes);
    // The test runs: amounts, typed text and clock as given.
    void showRunning(const QString& amount, const QStringList& upcoming, int correct, int entries);
    void showTyped(const QString& typed);
    void showTimeLeft(int seconds);
    void showOver();
    const EntryScreen& screen() const { return screen_; }

    // Where each part is painted, for drawing only what changed.
    static QRect typedArea();
    static QRect clockArea();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void drawChoice(QPainter& p);
    void drawTest(QPainter& p);
    void drawHints(QPainter& p);

    EntryScreen screen_;
};

extern EntryWindow* entryWindow;
