#pragma once
// The results screen's procedures (Form4): on to the next stage, to the
// final result, back to the title after a lost game, or into the
// commentary log; and the set-up of each stage of a game.
class Form4;

class StageResults {
public:
    // Takes over Form4's keys.
    explicit StageResults(Form4& window);

    void Form_KeyDown(int KeyCode, int Shift);
    void n_stage();
    void nextstage();
    void jikkyo();

private:
    Form4& w_;
};

// The one results screen's procedures, made with the windows.
extern StageResults* stageResults;
void wireResultsScreen(Form4& window);
