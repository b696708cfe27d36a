#pragma once
// The eight windows of the game, one instance each, created at start-up and
// hidden or shown, never destroyed, until the program ends. Each window's
// layout is built in screens/; its procedures are defined with the part of
// the game they belong to (app/, stage/, play/, screens/).
#include "platform/control_array.h"
#include "platform/controls.h"
#include "screens/game_window.h"
#include "state/module1.h"

#include <initializer_list>

class ControlCanvas;
class QTimer;

// The play screen's key grid (Label1): a column of kKeyRows per key group.
constexpr int kKeyGridCells = kKeyGroups * kKeyRows;
// Its gauge blocks (Image3), one per gauge level.
constexpr int kGaugeBlocks = kGaugeFull;
// Character frames per stage in the picture store (Picture1): stage s shows
// frames (s - 1) x 3 to (s - 1) x 3 + 2 in turn.
constexpr int kFramesPerStage = kCharacterPictures / kStageCount;
// The store's result pictures (Picture3), one per stage outcome.
constexpr int kResultNextStage = 0;
constexpr int kResultAllClear = 1;
constexpr int kResultGameOver = 2;
// The store's banner of a practice stage (Picture2), after the five stages'.
constexpr int kPracticeBanner = kStageCount;

// Title screen and start-up window.
class Form1 : public GameWindow {
public:
    Form1();
    Image* Image1 = nullptr;   // the mascot; a click shows the club message
    QTimer* Timer1 = nullptr;  // never enabled
    Image* entryLine = nullptr;  // the menu line of 数字入力 (keypad 8)

    bool Form_Load();          // the whole start-up; false when the program must end
    bool file_c();
    void s_load();
    void Form_KeyDown(int KeyCode, int Shift) override;
    void color_s(int mode);
    void normal();
    void extra();
    void score_m();
    void showProgress();  // keypad 2: the play history
    // A practice stage (苦手特訓) from プレイ記録 or the practice result.
    void practice(QWidget* from);
    void Image1_Click();
    void Timer1_Timer();
};

// Borderless caption window; created and never shown.
class Form2 : public QWidget {
public:
    Form2();
    Label* Label1 = nullptr;
};

// Play screen.
class Form3 : public GameWindow {
public:
    Form3();
    ControlArray<Label> Label1;   // key grid, 0..17
    ControlArray<Label> Label2;   // row captions 0, 5, 6
    ControlArray<Label> Label5;   // best score digits 0..4
    ControlArray<Label> Label6;   // score digits 0..4
    ControlArray<Label> Label7;   // quota digits 0..4
    Label* Label8 = nullptr;      // commentary box
    Label* Label12 = nullptr;     // "集計中"
    Image* Image1 = nullptr;      // character picture
    Image* Image2 = nullptr;      // time marker (the mascot)
    ControlArray<Image> Image3;   // gauge blocks 0..9
    Image* Image4 = nullptr;      // gauge tray
    Image* Image5 = nullptr;      // stage banner
    Shape* Shape1 = nullptr;      // red frame round the bottom row
    ControlArray<Line> Line1;     // tick marks 0..6
    QTimer* Timer1 = nullptr;     // the stage clock, kClockTickMs
    // Draws all the controls above in one paint, in front of them.
    ControlCanvas* canvas = nullptr;

    void Form_KeyDown(int KeyCode, int Shift) override;
    void n_print(int i);
    // Shows the stage that set-up has just prepared: keys, numbers, pictures.
    void showStageReady();
    // The grid cell that shows queue slot i, or -1 when its digit has none.
    static int keyCell(int i);
    void start();
    void Timer1_Timer();
    void n_input(int d);
    void Image2_Click();
    void jikkyo();
    void giveup();
    void gameend();

private:
    void timeup();
    // keypad 0 after a practice stage: its result instead of the results screen.
    void showPracticeResult();
    // Hands the stage just ended to the play history.
    void recordStageEnd();
    // Time-up and give-up alike: play stops, the announcer has the last
    // words, the time-up sound plays and the score row shows "集計中".
    void stopPlay(std::initializer_list<const char*> lastWords);
    void announceTime(int remaining);
    void randomPhrase();
    void announce(const QString& text);
};

// Results screen after each stage; also sets up each stage.
class Form4 : public GameWindow {
public:
    Form4();
    ControlArray<Label> Label2;  // (1) stage score
    ControlArray<Label> Label3;  // (1) verdict
    ControlArray<Label> Label4;  // (1) game total
    ControlArray<Label> Label5;  // (1) quota
    Image* Image2 = nullptr;     // banner of the stage just played
    Image* Image3 = nullptr;     // result picture of the stage's outcome

    void Form_KeyDown(int KeyCode, int Shift) override;
    // Fills the screen with the stage just ended (Module1.Outcome and scores).
    void showResult(const QString& verdict);
    void n_stage();
    void nextstage();
    void jikkyo();
};

// Final results screen.
class Form5 : public GameWindow {
public:
    Form5();
    Label* Label3 = nullptr;  // game total
    Label* Label5 = nullptr;  // best game total of the mode
    Image* Image1 = nullptr;  // rank emblem

    void Form_KeyDown(int KeyCode, int Shift) override;
};

// Commentary log.
class Form6 : public GameWindow {
public:
    Form6();
    ControlArray<Label> Label1;  // (0) the log text
    Label* Label2 = nullptr;     // key hint

    void Form_KeyDown(int KeyCode, int Shift) override;
    // Replaces the whole log with the opening lines of a new stage.
    void startLog(const QString& text);

private:
    void scrollUp();
    void scrollDown();
};

// Hidden picture store.
class Form7 : public QWidget {
public:
    Form7();
    ControlArray<PictureBox> Picture1;  // 0..14 character frames (from the game data)
    ControlArray<PictureBox> Picture2;  // 0..4 stage banners, 5 the practice banner
    ControlArray<PictureBox> Picture3;  // 0..2 result pictures
    ControlArray<PictureBox> Picture4;  // 0..5 rank emblems
    ~Form7() override;
};

// High-score screen.
class Form8 : public GameWindow {
public:
    Form8();
    ControlArray<Label> Label5;  // 0..11, one per score slot

    void Form_KeyDown(int KeyCode, int Shift) override;
};

extern Form1* form1;
extern Form2* form2;
extern Form3* form3;
extern Form4* form4;
extern Form5* form5;
extern Form6* form6;
extern Form7* form7;
extern Form8* form8;

// Creates all eight windows, Form1 .. Form8, hidden.
void createWindows();
// The same in two parts: the title (Form1) alone, so that it can be shown
// before anything else is made, then the rest (once; again does nothing).
void createTitleWindow();
void createOtherWindows();
// Destroys them (end of the program, or between tests).
void destroyWindows();
// Sets the caption of every window (and of Form2.Label1), those made later
// included.
void applyCaption(const QString& caption);
// Shows `next` first, then hides `current`.
void switchScreen(QWidget* current, QWidget* next);
