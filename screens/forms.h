#pragma once
// The eight windows of the game, one instance each, created at start-up and
// hidden or shown, never destroyed, until the program ends. Each window is
// built and painted here; what its keys, clicks and timer do belongs to the
// part of the game that owns the window (the title to app/, the play screen
// to play/, the results to stage/), which sets the window's hooks
// (onKeyDown, an image's onClick, onTimer1) when the windows are made.
#include "platform/control_array.h"
#include "platform/controls.h"
#include "screens/game_window.h"
#include "state/module1.h"

#include <functional>

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

// The time marker (the play screen's Image2) slides down the left edge, in
// twips: it waits at kMarkerReadyTop until the first clock tick puts it at
// kMarkerStart, then moves kMarkerStep further each second.
constexpr int kMarkerReadyTop = 300;
constexpr int kMarkerStart = 450;
constexpr int kMarkerStep = 150;

// The play screen's number rows: four changing digit cells and a fixed "0",
// so a value held in tens of points reads as ten times itself.
void showDigits(const ControlArray<Label>& row, int value);

// A score or quota held in tens of points, as the player sees it.
QString timesTen(int value);

// Title screen and start-up window.
class Form1 : public GameWindow {
public:
    Form1();
    Image* Image1 = nullptr;   // the mascot; a click shows the club message
    QTimer* Timer1 = nullptr;  // never enabled
    std::function<void()> onTimer1;
    Image* entryLine = nullptr;  // the menu line of 数字入力 (keypad 8)
    Label* dailyLine = nullptr;  // today's minutes and the streak, when a daily goal is set
    std::function<void()> onShown;  // each time the title comes into view

protected:
    void showEvent(QShowEvent* event) override;
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
    Label* LabelPace = nullptr;   // 「ベスト比 +1,250」 while a stage best's run is known
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
    std::function<void()> onTimer1;

    void n_print(int i);
    // Shows the stage that set-up has just prepared (Module1): keys,
    // numbers, pictures, and the announcer's box with `commentary`.
    void showStageReady(const QString& commentary);
    // The grid cell that shows queue slot i, or -1 when its digit has none.
    static int keyCell(int i);
    // The time marker `elapsed` seconds into the stage.
    void placeMarker(int elapsed);
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
    Label* LabelAgain = nullptr; // 「5 もう一度」, after a lost game only

    // Fills the screen with the stage just ended: its result and Module1's scores.
    void showResult(const StageResult& result);
};

// Final results screen.
class Form5 : public GameWindow {
public:
    Form5();
    Label* Label3 = nullptr;  // game total
    Label* Label5 = nullptr;  // best game total of the mode
    Image* Image1 = nullptr;  // rank emblem
    Label* LabelAgain = nullptr;  // 「5 もう一度」

    // Fills the screen with a won game: its total, the mode's best and the rank.
    void showFinal(int gameTotal, int best, int rank);
};

// Commentary log.
class Form6 : public GameWindow {
public:
    Form6();
    ControlArray<Label> Label1;  // (0) the log text
    Label* Label2 = nullptr;     // key hint

    // Replaces the whole log with the opening lines of a new stage.
    void startLog(const QString& text);
    // Opened from the results: the top of the log, scrolled to its start.
    void openLog();
    // Keypad 4 / Page Up and 1 / Page Down scroll, 0 returns to the results.
    void keyDown(int KeyCode);

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

    // Fills the twelve rows with the stored best scores.
    void showScores();
};

extern Form1* form1;
extern Form2* form2;
extern Form3* form3;
extern Form4* form4;
extern Form5* form5;
extern Form6* form6;
extern Form7* form7;
extern Form8* form8;

// The keys of the side screens (high scores, commentary log), which belong
// to the screens themselves; done as they are made.
void wireSideScreens();
// Keypad 0 back to the title, Esc the quit question: the final result's
// and the high scores' keys.
void backToTitleKeys(GameWindow* screen, int KeyCode);
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
