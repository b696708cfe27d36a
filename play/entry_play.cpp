#include "play/entry_play.h"

#include "history/recorder.h"
#include "platform/keys.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "screens/closing.h"
#include "screens/entry_result.h"
#include "screens/entry_window.h"
#include "screens/forms.h"

#include <QTimer>

namespace {
constexpr int kSecondMs = 1000;
constexpr int kListed = 3;  // slowest keys and slips named on the result
}  // namespace

EntryPlay& entryPlay()
{
    static EntryPlay play;
    return play;
}

int entryKeyOfCode(int KeyCode)
{
    if (KeyCode >= vk::Numpad0 && KeyCode <= vk::Numpad9)
        return KeyCode - vk::Numpad0;
    switch (KeyCode) {
    case vk::Decimal: return kEntryPoint;
    case vk::Return: return kEntryEnter;
    case vk::Back:
    case vk::Subtract: return kEntryBack;
    default: return -1;
    }
}

EntryPlay::EntryPlay() : test_([] { return rnd(); }) {}

void EntryPlay::open(QWidget* from, int minutes)
{
    if (!timer_) {
        // Made with the window, so it goes with it.
        timer_ = new QTimer(entryWindow);
        timer_->setInterval(kSecondMs);
        QObject::connect(timer_, &QTimer::timeout, [this] { tick(); });
    }
    timer_->stop();
    entryWindow->onKeyDown = [this](int KeyCode, int) { key(KeyCode); };
    entryResultWindow->onKeyDown = [this](int KeyCode, int) { resultKey(KeyCode); };
    randomize();
    test_.prepare(minutes);
    entryWindow->showChoosing(minutes);
    s_play(Sound::SoundPowah, false);
    switchScreen(from, entryWindow);
}

void EntryPlay::key(int KeyCode)
{
    if (KeyCode == vk::Escape) {
        quitByKey();
        return;
    }
    if (test_.over()) {
        if (KeyCode == vk::Numpad0)
            showResult();
        return;
    }
    if (!test_.running()) {
        switch (KeyCode) {
        case vk::Numpad1:
        case vk::Numpad3:
        case vk::Numpad5: {
            const int minutes = KeyCode - vk::Numpad0;
            test_.prepare(minutes);
            entryWindow->showChoosing(minutes);
            if (lengthChosen)
                lengthChosen(minutes);
            break;
        }
        case vk::Numpad0: start(); break;
        default: break;
        }
        return;
    }
    if (const int k = entryKeyOfCode(KeyCode); k >= 0)
        strike(k);
}

void EntryPlay::start()
{
    gameHistory().gameStarted(GameMode::Entry);
    // As on a stage: heard in full, keys struck meanwhile count once it ends.
    s_play(Sound::SoundThree, true);
    s_play(Sound::SoundTwo, true);
    s_play(Sound::SoundOne, true);
    test_.start();
    entryWindow->showRunning(test_.amount(), test_.upcoming(), 0, 0);
    gameHistory().clockStarted();
    timer_->start();
}

void EntryPlay::strike(int key)
{
    const EntryStrike s = test_.strike(key);
    if (!s.taken)
        return;
    gameHistory().keyJudged(s.key, s.expected, s.matched);
    if (!s.submitted) {
        entryWindow->showTyped(test_.typed());
        return;
    }
    s_play(s.correct ? Sound::SoundHit : Sound::SoundMiss, false);
    entryWindow->showRunning(test_.amount(), test_.upcoming(), test_.correct(), test_.entries());
}

void EntryPlay::tick()
{
    if (test_.tick())
        timeUp();
    else if (test_.running())
        entryWindow->showTimeLeft(test_.secondsLeft());
}

void EntryPlay::timeUp()
{
    timer_->stop();
    s_play(Sound::SoundTimeUp, false);
    gameHistory().entryEnded(test_.netKeys());
    entryWindow->showTimeLeft(0);
    entryWindow->showOver();
}

void EntryPlay::showResult()
{
    EntryReport report;
    report.minutes = test_.minutes();
    const GameRecord* game = gameHistory().currentGame();
    if (game && game->mode == GameMode::Entry && !game->stages.empty()) {
        const StageRecord& stage = game->stages.back();
        report.figures = entryFigures(stage);
        report.slowest = slowestEntryKeys(stage, kListed);
        report.misses = frequentEntryMisses(stage, kListed);
    }
    HistoryDatabase& db = gameHistory().database();
    report.bestNetKph = bestEntryKph(db, report.minutes);
    gameHistory().noteProblem(db);
    // A test the file could not take yet still counts for its own best.
    if (const std::optional<double> net = report.figures.netKph(); net && (!report.bestNetKph || *report.bestNetKph < *net))
        report.bestNetKph = net;
    entryResultWindow->setReport(std::move(report));
    s_play(Sound::SoundPowah, false);
    switchScreen(entryWindow, entryResultWindow);
}

void EntryPlay::resultKey(int KeyCode)
{
    switch (KeyCode) {
    case vk::Escape: quitByKey(); break;
    case vk::Numpad4: open(entryResultWindow, test_.minutes()); break;
    case vk::Numpad0:
        s_play(Sound::SoundPowah, false);
        switchScreen(entryResultWindow, form1);
        break;
    default: break;
    }
}
