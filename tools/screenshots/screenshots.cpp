// Renders every game screen in a telling state to PNG files, offscreen,
// from a copy of a game folder:
//   quennel_screenshots <game folder> <out dir> [zoom [standard|safe]]
#include "app/startup.h"
#include "app/title.h"
#include "history/recorder.h"
#include "platform/files.h"
#include "platform/keys.h"
#include "platform/msgbox.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/zoom.h"
#include "play/entry_play.h"
#include "play/stage_play.h"
#include "screens/entry_result.h"
#include "screens/entry_window.h"
#include "screens/forms.h"
#include "screens/progress_window.h"
#include "stage/results.h"
#include "state/module1.h"
#include "state/palette.h"
#include "tools/common/game_folder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <random>

namespace {
void save(QWidget* window, const QString& dir, const char* name)
{
    window->repaint();
    const QString path = dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png");
    if (!window->grab().save(path))
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
    else
        std::printf("%s\n", qPrintable(path));
}

// Forty games, the newest last: normal and hard by turns, each stage
// about 110 correct keys in 30 s; moves 1→9, 7→3, 5→5 and 4→6 slow, digit
// 8 a little slower than the rest, now and then the key beside struck.
void addPractisedGames()
{
    std::mt19937 engine(424242);
    const auto below = [&](int n) { return static_cast<int>(engine() % static_cast<unsigned>(n)); };
    const QDateTime first = QDateTime::currentDateTime().addDays(-20);
    for (int g = 0; g < 40; ++g) {
        GameRecord game;
        game.startedAt = first.addSecs(g * 3600 * 11);
        game.mode = g % 2 ? GameMode::Hard : GameMode::Normal;
        const int stages = game.mode == GameMode::Hard ? 1 + g % 4 : 1 + g % 5;
        for (int stage = 1; stage <= stages; ++stage) {
            StageRecord r;
            r.stage = stage;
            r.quota = 500 + 100 * stage;
            r.playMs = 30000;
            int ms = 0, target = 1 + below(9), hits = 0;
            while (true) {
                const int next = 1 + below(9);
                int gap = 230 + below(60) + (next == 8 ? 40 : 0);
                if ((target == 1 && next == 9) || (target == 7 && next == 3) || (target == 5 && next == 5) ||
                    (target == 4 && next == 6))
                    gap += 260;
                if (ms + gap >= r.playMs)
                    break;
                if (below(25) == 0)
                    r.keys.push_back({ms + gap / 2, static_cast<qint8>(next % 9 + 1), static_cast<qint8>(next), false});
                ms += gap;
                r.keys.push_back({ms, static_cast<qint8>(next), static_cast<qint8>(next), true});
                ++hits;
                target = next;
            }
            r.score = hits * (10 + stage) + g * 3;
            r.verdict = stage < stages || game.mode == GameMode::Normal ? StageVerdict::Clear : StageVerdict::Failure;
            game.total += r.score;
            game.stages.push_back(std::move(r));
        }
        game.lastStage = stages;
        game.outcome = stages == kStageCount ? GameOutcome::Cleared : GameOutcome::Lost;
        if (game.outcome == GameOutcome::Cleared)
            game.rank = rankOf(game.total);
        size_t saved = 0;
        if (!gameHistory().database().saveGame(game, saved))
            std::fprintf(stderr, "could not store game %d: %s\n", g, qPrintable(gameHistory().database().reason()));
    }
}

// Strikes the target key, or a wrong one, on the play screen.
void press(bool hit)
{
    const int target = Module1.KeyQueue[0];
    stagePlay->n_input(hit ? target : (target % 9) + 1);
}
}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 3) {
        const std::optional<int> zoom = parseZoom(QString::fromLocal8Bit(argv[3]));
        if (!zoom) {
            std::fprintf(stderr, "the zoom is 1 to 4\n");
            return 2;
        }
        applyZoom(*zoom);
    }
    if (argc > 4) {
        const std::optional<PaletteName> name = parsePaletteName(QString::fromLocal8Bit(argv[4]));
        if (!name) {
            std::fprintf(stderr, "the palette is standard or safe\n");
            return 2;
        }
        setPalette(*name);
    }
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <game folder> <output folder> [zoom [standard|safe]]\n", argv[0]);
        return 2;
    }
    const QString out = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    QDir().mkpath(out);
    QTemporaryDir work;
    if (!copyGameFolder(QString::fromLocal8Bit(argv[1]), work.path()))
        return 1;
    QDir::setCurrent(work.path());

    SilentSink silence;
    setSoundSink(&silence);
    setMessageBoxHandler([](const MessageRequest& r) {
        std::fprintf(stderr, "%s\n", qPrintable(r.text));
        return MsgResult::Cancel;
    });
    setEndHandler([](int) {});
    // The same keys and phrases on every run, so two renderings can be
    // compared pixel by pixel.
    setRandomSource([] {
        static std::mt19937 engine(20010818);
        return static_cast<double>(engine()) / 4294967296.0;
    });
    // A few stored bests make the high-score screen worth looking at.
    QFile scores(QStringLiteral("tavo_s.dat"));
    if (scores.open(QIODevice::WriteOnly))
        scores.write("1012\r\n265\r\n251\r\n212\r\n180\r\n104\r\n506\r\n141\r\n122\r\n101\r\n88\r\n54\r\n");
    scores.close();

    createTitleWindow();
    if (!showTitle() || !finishStartUp())
        return 1;
    save(form1, out, "title");

    titleScreen->normal();
    save(form3, out, "play_ready");

    // A stage in full swing: a long streak, one slip, then another run.
    stagePlay->start();
    for (int i = 0; i < 25; ++i) press(true);
    for (int t = 0; t < 8; ++t) stagePlay->Timer1_Timer();
    press(false);
    for (int i = 0; i < 12; ++i) press(true);
    for (int t = 0; t < 7; ++t) stagePlay->Timer1_Timer();
    save(form3, out, "play");

    for (int i = 0; i < 40; ++i) press(true);
    for (int t = 0; t < 15; ++t) stagePlay->Timer1_Timer();
    save(form3, out, "play_timeup");

    stagePlay->gameend();
    save(form4, out, "results");

    stageResults->jikkyo();
    save(form6, out, "log");
    form6->Form_KeyDown(96, 0);

    // The final result of a strong game.
    Module1.GameScore = 14870;
    Module1.Result.gameEnd = GameOutcome::Cleared;
    Module1.Result.rank = rankOf(Module1.GameScore);
    stageResults->nextstage();
    save(form5, out, "final");

    form5->Form_KeyDown(96, 0);
    titleScreen->score_m();
    save(form8, out, "highscores");

    // A one-minute 数字入力 test: amounts typed at a steady pace, now and
    // then a slip erased or an entry sent wrong, the clock on a key's time.
    form8->Form_KeyDown(vk::Numpad0, 0);
    qint64 now = 0;
    setHistoryMonotonicClock([&now] { return now; });
    entryPlay().open(form1, 1);
    save(entryWindow, out, "entry-choose");
    entryPlay().key(vk::Numpad0);
    auto strike = [&](int code, int ms) {
        now += ms;
        entryPlay().key(code);
    };
    auto codeOf = [](QChar c) { return c == QLatin1Char('.') ? int(vk::Decimal) : vk::Numpad0 + c.digitValue(); };
    int second = 0, entry = 0;
    auto typeUntil = [&](qint64 endMs) {
        for (; now < endMs; ++entry) {
            const QString amount = entryPlay().test().amount();
            for (int i = 0; i < amount.size(); ++i) {
                if (entry % 7 == 3 && i == 1) {
                    strike(vk::Numpad0 + (amount.at(i).digitValue() + 1) % 10, 260);  // a slip, erased
                    strike(vk::Back, 420);
                }
                strike(codeOf(amount.at(i)), 240 + 35 * (amount.at(i).digitValue() % 4));
            }
            if (entry % 11 == 5)
                strike(vk::Numpad0, 250);  // one key too many: sent wrong
            strike(vk::Return, 330);
            for (; second < now / 1000; ++second)
                entryPlay().tick();
        }
    };
    typeUntil(35000);
    const QString next = entryPlay().test().amount();
    strike(codeOf(next.at(0)), 300);
    if (next.size() > 1)
        strike(codeOf(next.at(1)), 300);
    save(entryWindow, out, "entry-play");
    entryPlay().key(vk::Back);
    entryPlay().key(vk::Back);
    typeUntil(57000);
    now = 60000;
    for (; second < 60; ++second)
        entryPlay().tick();
    entryPlay().key(vk::Numpad0);
    save(entryResultWindow, out, "entry-result");
    setHistoryMonotonicClock(nullptr);

    // A game given up in its first stage: the results offer keypad 5.
    entryResultWindow->Form_KeyDown(vk::Numpad0, 0);
    titleScreen->normal();
    stagePlay->start();
    for (int i = 0; i < 12; ++i) press(true);
    stagePlay->giveup();
    stagePlay->gameend();
    save(form4, out, "results_lost");

    // Keypad 5, and a stage played against the run of the stage best.
    form4->Form_KeyDown(101, 0);
    stagePlay->start();
    for (int t = 0; t < 12; ++t) {
        for (int i = 0; i < 6; ++i) press(true);
        stagePlay->Timer1_Timer();
    }
    save(form3, out, "play_pace");

    // Two more 数字入力 tests, then プレイ記録's keypad page in the mode of
    // the tests.
    stagePlay->giveup();
    stagePlay->gameend();
    setHistoryMonotonicClock([&now] { return now; });
    for (int test = 0; test < 2; ++test) {
        now = 0;
        second = 0;
        entryPlay().open(test == 0 ? static_cast<QWidget*>(form4) : entryResultWindow, 1);
        entryPlay().key(vk::Numpad0);
        typeUntil(58000);
        now = 60000;
        for (; second < 60; ++second)
            entryPlay().tick();
        entryPlay().key(vk::Numpad0);
    }
    setHistoryMonotonicClock(nullptr);
    openProgress(entryResultWindow);
    for (int page = ProgressWindow::Totals; page < ProgressWindow::Keypad; ++page)
        progressWindow->Form_KeyDown(vk::Numpad6, 0);
    while (progressWindow->insightMode() != GameMode::Entry)
        progressWindow->Form_KeyDown(vk::Numpad5, 0);
    save(progressWindow, out, "progress-keypad-entry");

    // A practised player's history of its own: forty games of both modes,
    // hard never past stage 4, a few moves and digits slower than the
    // rest, a miss now and then. プレイ記録's drawn pages with enough in them.
    gameHistory().reset();
    QTemporaryDir practised;
    QDir::setCurrent(practised.path());
    addPractisedGames();
    openProgress(progressWindow);
    const std::pair<int, const char*> pages[] = {
        {ProgressWindow::StageBests, "bests"}, {ProgressWindow::Keypad, "keypad"},
        {ProgressWindow::Misses, "misses"},    {ProgressWindow::Moves, "moves"},
        {ProgressWindow::Speed, "speed"}};
    for (const auto& [page, name] : pages) {
        for (int turn = 0; turn < ProgressWindow::kPageCount && progressWindow->page() != page; ++turn)
            progressWindow->Form_KeyDown(vk::Numpad6, 0);
        for (int mode = 0; mode < kGameModes + 1 && progressWindow->insightMode() != GameMode::Normal; ++mode)
            progressWindow->Form_KeyDown(vk::Numpad5, 0);
        const QByteArray file = QByteArrayLiteral("progress-practised-") + name;
        save(progressWindow, out, file.constData());
    }

    // The play history closes its database while Qt is still up; left to
    // the static recorder's destructor it would run after QApplication.
    gameHistory().reset();
    destroyWindows();
    setSoundSink(nullptr);
    return 0;
}
