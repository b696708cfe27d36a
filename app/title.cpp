// The title screen: the mode menu, the high scores and the way out.
#include "app/title.h"

#include "app/after_title.h"
#include "app/startup.h"
#include "app/main_row_question.h"
#include "app/settings.h"
#include "history/history_reader.h"
#include "history/play_calendar.h"
#include "history/recorder.h"
#include "platform/control_canvas.h"
#include "platform/keys.h"
#include "platform/msgbox.h"
#include "platform/sound.h"
#include "play/entry_play.h"
#include "screens/calendar_page.h"
#include "screens/closing.h"
#include "screens/forms.h"
#include "screens/progress_window.h"
#include "stage/practice_setup.h"
#include "stage/results.h"
#include "state/module1.h"
#include "state/palette.h"

#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <utility>

namespace {
// Key colours of the normal mode: rows fade from bright to dark, per key
// group (keys 1-3 green, 4-6 cyan, 7-9 yellow).
const int kNormalShade[kKeyRows] = {255, 192, 128, 128, 64, 64};
constexpr int kDimShade = 64;

// color_s modes.
constexpr int kNormalColours = 1;
constexpr int kHardColours = 2;

// Keypad 8: a 数字入力 test, of the length chosen last time.
void numberEntry(QWidget* title)
{
    entryPlay().lengthChosen = [](int minutes) { rememberEntryMinutes(loadSettings(), minutes); };
    entryPlay().open(title, loadSettings().values.entryMinutes);
}

// Today's minutes and the streak, read afresh each time the title shows;
// only a history file that is there is read.
void showDailyLine(Form1& title)
{
    const int goal = dailyGoal();
    if (goal == 0) {
        title.dailyLine->hide();
        return;
    }
    std::vector<PlaySpan> spans;
    const QFileInfo file(QString::fromLatin1(kHistoryFileName));
    if (file.exists() || file.isSymLink()) {
        gameHistory().saveHeldBack();
        HistoryDatabase& db = gameHistory().database();
        std::optional<std::vector<PlaySpan>> read = readPlayTimes(db);
        gameHistory().noteProblem(db);
        if (!read) {
            title.dailyLine->hide();
            return;
        }
        spans = std::move(*read);
    }
    title.dailyLine->setCaption(dailyGoalLine(playCalendar(spans, calendarToday()), goal));
    title.dailyLine->show();
}

QColor groupColor(int group, int shade)
{
    return shaded(gamePalette().keyRows[static_cast<size_t>(group)], shade);
}
}  // namespace

Title* titleScreen = nullptr;

void wireTitleScreen(Form1& window)
{
    static std::unique_ptr<Title> screen;
    screen = std::make_unique<Title>(window);
    titleScreen = screen.get();
}

Title::Title(Form1& window) : w_(window)
{
    w_.onKeyDown = [this](int KeyCode, int Shift) { Form_KeyDown(KeyCode, Shift); };
    w_.Image1->onClick = [this] { Image1_Click(); };
    w_.onTimer1 = [this] { Timer1_Timer(); };
    // After the title is on the screen: the history is not read between a
    // key and the screen it brings. The first time, after the title's first
    // paint: reading it before would hold the whole start-up back.
    w_.onShown = [this] {
        const auto show = [this] { showDailyLine(w_); };
        if (std::exchange(dailyLineSeen_, true))
            QTimer::singleShot(0, &w_, show);
        else
            runAfterFirstPaint(&w_, {show});
    };
}

void Title::Form_KeyDown(int KeyCode, int /*Shift*/)
{
    // A key quicker than the rest of the start-up finishes it first.
    if (!finishStartUp())
        return;
    switch (KeyCode) {
    case vk::Escape:
    case vk::Numpad3:
        quitByKey();
        break;
    case vk::Numpad1: score_m(); break;
    case vk::Numpad2: showProgress(); break;
    case vk::Numpad4: normal(); break;
    case vk::Numpad6: extra(); break;
    case vk::Numpad8: numberEntry(&w_); break;
    default:
        // Only the keypad counts: a player pressing the digits above the
        // letters may have no keypad.
        if (KeyCode >= vk::Digit0 && KeyCode <= vk::Digit0 + 9)
            offerMainRowDigits();
        break;
    }
}

void Title::color_s(int mode)
{
    for (int g = 0; g < kKeyGroups; ++g)
        for (int row = 0; row < kKeyRows; ++row)
            Module1.KeyColors[g][row] = groupColor(g, kNormalShade[row]);
    if (mode != kNormalColours) {
        // The hard mode shows only the key to strike and, dimly, the next one.
        for (int g = 0; g < kKeyGroups; ++g) {
            Module1.KeyColors[g][1] = groupColor(g, kDimShade);
            for (int row = 2; row < kKeyRows; ++row)
                Module1.KeyColors[g][row] = QColor(0, 0, 0);
        }
    }
}

void Title::startGame(QWidget* from, int slotBase)
{
    Module1.ScoreSlotBase = slotBase;
    Module1.Stage = 0;
    Module1.StageScore = 0;
    Module1.GameScore = 0;
    Module1.AnimFrame = 0;
    Module1.Practice = 0;
    Module1.DigitWeights.clear();
    Module1.DigitWeightsAfter.clear();
    gameHistory().noteGameStart(slotBase == 0 ? GameMode::Normal : GameMode::Hard);
    color_s(slotBase == kHardSlotBase ? kHardColours : kNormalColours);
    stageResults->n_stage();
    s_play(Sound::SoundPowah, false);
    switchScreen(from, form3);
    // The history file (its database driver loaded the first time) is
    // opened once the play screen is painted, not between the key and it.
    // Games started one after another faster than the play screen paints
    // (keypad 5 on a result) share the one opening still waiting.
    static QPointer<QObject> opening;
    if (!opening)
        opening = runAfterFirstPaint(form3->canvas, {[] { gameHistory().openForGame(); }});
}

void Title::normal()
{
    startGame(&w_, kNormalSlotBase);
}

void Title::extra()
{
    startGame(&w_, kHardSlotBase);
}

void Title::practice(QWidget* from, const PracticeDrill& drill)
{
    // Like a game of the normal mode, every digit of the stack in sight;
    // no score slot is ever written.
    Module1.ScoreSlotBase = kNormalSlotBase;
    Module1.StageScore = 0;
    Module1.GameScore = 0;
    Module1.AnimFrame = 0;
    gameHistory().gameStarted(GameMode::Practice);
    color_s(kNormalColours);
    setUpPractice(drill);
    s_play(Sound::SoundPowah, false);
    switchScreen(from, form3);
}

void Title::score_m()
{
    form8->showScores();
    s_play(Sound::SoundPowah, false);
    switchScreen(&w_, form8);
}

void Title::showProgress()
{
    openProgress(&w_);
}

void Title::Image1_Click()
{
    MessageRequest request;
    request.text = QString::fromUtf8("ロルヴァ学園コンピューター同好会は、\r\nもちろん10000年問題非対応です。");
    request.informationIcon = true;
    msgbox(request);
}

void Title::Timer1_Timer()
{
    // The title screen's timer is never enabled.
}
