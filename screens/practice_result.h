#pragma once
// The result of a practice stage (苦手特訓 and its drills): hits, accuracy,
// keystrokes per hour, the run's most frequent misses, and on a keypad each
// drilled digit's reaction time now beside its figure before, marked when
// it changed by more than a short run's noise, and its accuracy now.
// Keypad 4 plays the same drill again, keypad 0 returns to the page of
// プレイ記録 it was started from, Esc asks to quit.
#include "history/practice_report.h"
#include "history/records.h"
#include "screens/game_window.h"

#include <functional>

class PracticeResultWindow : public GameWindow {
public:
    PracticeResultWindow();

    void setReport(PracticeReport report);
    const PracticeReport& report() const { return report_; }

    // The drill being played (keypad 4 plays it again) and the page and
    // mode of プレイ記録 it was started from (keypad 0 returns there).
    void setDrill(PracticeDrill drill) { drill_ = std::move(drill); }
    const PracticeDrill& drill() const { return drill_; }
    void setOrigin(int page, GameMode mode);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void keyDown(int KeyCode);
    void drawKeypad(QPainter& p);
    void drawMisses(QPainter& p, double top);

    PracticeReport report_;
    PracticeDrill drill_;
    int originPage_ = 0;
    GameMode originMode_ = GameMode::Normal;
};

extern PracticeResultWindow* practiceResultWindow;

// Practice stages are set up above the screens: the program hands the
// screens the way to start one (from the screen shown) once, at start-up.
using PracticeStarter = std::function<void(QWidget* from, const PracticeDrill& drill)>;
void setPracticeStarter(PracticeStarter starter);
// Started from プレイ記録, the result returns to the page it was on.
void startPractice(QWidget* from, const PracticeDrill& drill = {});
