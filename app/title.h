#pragma once
// The title screen's procedures (Form1): the start-up, the mode menu, the
// high scores, プレイ記録 and the way out.
class Form1;
class QWidget;
struct PracticeDrill;

class Title {
public:
    // Takes over Form1's keys, its mascot's click and its timer.
    explicit Title(Form1& window);

    bool Form_Load();   // the whole start-up; false when the program must end
    bool file_c();
    void s_load();
    void Form_KeyDown(int KeyCode, int Shift);
    void color_s(int mode);
    void normal();
    void extra();       // the hard mode (ハードモード)
    void score_m();
    void showProgress();  // keypad 2: the play history
    // A practice stage (苦手特訓 or one of its drills) from プレイ記録 or
    // the practice result.
    void practice(QWidget* from, const PracticeDrill& drill);
    void Image1_Click();
    void Timer1_Timer();
    // A game of the mode with this score slot base, from the screen `from`
    // (the title, or a result's keypad 5).
    void startGame(QWidget* from, int slotBase);

private:
    Form1& w_;
    bool dailyLineSeen_ = false;  // the title has shown once
};

// The one title screen's procedures, made with its window.
extern Title* titleScreen;
void wireTitleScreen(Form1& window);
