#pragma once
// The result of a practice stage (苦手特訓): hits, accuracy, keystrokes per
// hour, and on a keypad each drilled digit's reaction time now beside its
// figure before. Keypad 4 plays another practice stage, keypad 0 returns
// to プレイ記録, Esc asks to quit.
#include "history/practice_report.h"
#include "screens/game_window.h"

#include <functional>

class PracticeResultWindow : public GameWindow {
public:
    PracticeResultWindow();

    void setReport(PracticeReport report);
    const PracticeReport& report() const { return report_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void keyDown(int KeyCode);
    void drawKeypad(QPainter& p);

    PracticeReport report_;
};

extern PracticeResultWindow* practiceResultWindow;

// Practice stages are set up above the screens: the program hands the
// screens the way to start one (from the screen shown) once, at start-up.
using PracticeStarter = std::function<void(QWidget* from)>;
void setPracticeStarter(PracticeStarter starter);
void startPractice(QWidget* from);
