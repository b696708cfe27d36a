// Renders every game screen in a telling state to PNG files, offscreen,
// from a copy of a game folder:  quennel_screenshots <game folder> <out dir> [zoom]
#include "app/startup.h"
#include "history/recorder.h"
#include "platform/files.h"
#include "platform/msgbox.h"
#include "platform/sound.h"
#include "platform/system.h"
#include "platform/zoom.h"
#include "screens/forms.h"
#include "state/module1.h"
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

// Strikes the target key, or a wrong one, on the play screen.
void press(bool hit)
{
    const int target = Module1.KeyQueue[0];
    form3->n_input(hit ? target : (target % 9) + 1);
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
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s <game folder> <output folder> [zoom]\n", argv[0]);
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

    form1->normal();
    save(form3, out, "play_ready");

    // A stage in full swing: a long streak, one slip, then another run.
    form3->start();
    for (int i = 0; i < 25; ++i) press(true);
    for (int t = 0; t < 8; ++t) form3->Timer1_Timer();
    press(false);
    for (int i = 0; i < 12; ++i) press(true);
    for (int t = 0; t < 7; ++t) form3->Timer1_Timer();
    save(form3, out, "play");

    for (int i = 0; i < 40; ++i) press(true);
    for (int t = 0; t < 15; ++t) form3->Timer1_Timer();
    save(form3, out, "play_timeup");

    form3->gameend();
    save(form4, out, "results");

    form4->jikkyo();
    save(form6, out, "log");
    form6->Form_KeyDown(96, 0);

    // The final result of a strong game.
    Module1.GameScore = 14870;
    Module1.Outcome = StageOutcome::AllClear;
    form4->nextstage();
    save(form5, out, "final");

    form5->Form_KeyDown(96, 0);
    form1->score_m();
    save(form8, out, "highscores");

    // The play history closes its database while Qt is still up; left to
    // the static recorder's destructor it would run after QApplication.
    gameHistory().reset();
    destroyWindows();
    setSoundSink(nullptr);
    return 0;
}
