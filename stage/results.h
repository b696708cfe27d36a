#pragma once
// The results screen's procedures (Form4): on to the next stage, to the
// final result, back to the title after a lost game, or into the
// commentary log; and the set-up of each stage of a game.
#include <functional>

class Form4;
class QWidget;

// A new game of the mode with this score slot base, as the title's keypad 4
// or 6 starts it, in place of `from`. Games are started above the stages:
// the program hands the way to start one over once, at start-up.
using GameStarter = std::function<void(QWidget* from, int slotBase)>;
void setGameStarter(GameStarter starter);

class StageResults {
public:
    // Takes over Form4's keys.
    explicit StageResults(Form4& window);

    void Form_KeyDown(int KeyCode, int Shift);
    void n_stage();
    void nextstage();
    void jikkyo();

private:
    // The final result's keys: 0 the title, 5 play again.
    void finalKeyDown(int KeyCode);
    void playAgain(QWidget* from);

    Form4& w_;
};

// The one results screen's procedures, made with the windows.
extern StageResults* stageResults;
void wireResultsScreen(Form4& window);
