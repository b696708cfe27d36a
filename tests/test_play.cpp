// The play screen: the count-down, the stage clock, the judgement of keypad
// digits with the gauge and the score, giving up and the verdict.
#include "play/stage_play.h"
#include "stage/results.h"
#include "platform/keys.h"
#include "platform/system.h"
#include "screens/forms.h"
#include "state/module1.h"
#include "support/game_fixture.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QSet>
#include <QTimer>
#include <QtTest>

namespace {

const QString kCrlf = QStringLiteral("\r\n");

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// Prepares stage n on the play screen, as the results screen does.
void setUpStage(int n)
{
    Module1.Stage = n - 1;
    stageResults->n_stage();
}

// The ten gauge blocks, element 0 first: '1' lit, '0' dark.
QString gauge()
{
    QString s;
    for (int i = 0; i <= 9; ++i)
        s += form3->Image3(i)->isVisibleTo(form3) ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

QString scoreCells()
{
    QStringList cells;
    for (int i = 0; i <= 4; ++i)
        cells << form3->Label6(i)->caption();
    return cells.join(QLatin1Char(','));
}

// The digits as the play screen must show them: four cells and a fixed 0.
QString expectedCells(int score)
{
    return QStringLiteral("%1,%2,%3,%4,0")
        .arg(score / 1000)
        .arg((score % 1000) / 100)
        .arg((score % 100) / 10)
        .arg(score % 10);
}

QStringList lastLines(const QString& text, int n)
{
    QStringList lines = text.split(kCrlf);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines.mid(qMax(0, int(lines.size()) - n));
}

// Records what the game looked like when each sound started, and can press
// keys while a waiting sound "plays", as a player does during the count-down.
class CountDownSink : public SoundSink {
public:
    struct Entry {
        Sound sound;
        bool wait;
        int playActive;
        bool timerActive;
        int commentCount;
    };
    void play(Sound sound, bool wait) override
    {
        entries.push_back({sound, wait, Module1.PlayActive, form3->Timer1->isActive(),
                           Module1.CommentCount});
        if (wait && sound == Sound::SoundThree) {
            for (int key : keysToPost) {
                QCoreApplication::postEvent(
                    form3, new QKeyEvent(QEvent::KeyPress, Qt::Key_0 + key, Qt::KeypadModifier,
                                         QString::number(key)));
            }
        }
    }
    std::vector<Entry> entries;
    QList<int> keysToPost;
};

}  // namespace

class PlayTest : public QObject {
    Q_OBJECT

private slots:
    // Ten hits from an empty gauge with step 1 earn 1+2+3+5+7+10+14+19+24+30,
    // light the blocks one by one, and every later hit earns 30.
    void gaugeStepOneRun()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        GameFixture::keypad(form3, 0);
        QCOMPARE(Module1.PlayActive, 1);
        QCOMPARE(gauge(), QStringLiteral("0000000000"));

        const int perHit[] = {1, 2, 3, 5, 7, 10, 14, 19, 24, 30};
        int expected = 0;
        for (int k = 1; k <= 10; ++k) {
            const std::size_t mark = f.sounds.played.size();
            GameFixture::hitTarget();
            expected += perHit[k - 1];
            QCOMPARE(Module1.StageScore, expected);
            QCOMPARE(scoreCells(), expectedCells(expected));
            QCOMPARE(gauge(), QString(k, QLatin1Char('1')) + QString(10 - k, QLatin1Char('0')));
            QCOMPARE(f.sounds.played.size(), mark + 1);
            QVERIFY(f.sounds.played.back().sound == Sound::SoundHit);
            QVERIFY(!f.sounds.played.back().wait);
            // The stage's three character pictures take turns, one per hit.
            QVERIFY(form3->Image1->picture() == form7->Picture1(k % 3)->picture);
        }
        QCOMPARE(expected, 115);
        QCOMPARE(scoreCells(), QStringLiteral("0,1,1,5,0"));

        GameFixture::hitTarget();
        QCOMPARE(Module1.StageScore, 145);
        GameFixture::hitTarget();
        QCOMPARE(Module1.StageScore, 175);
        QCOMPARE(gauge(), QStringLiteral("1111111111"));
        QCOMPARE(Module1.GaugeLevel, 10.0);

        // A miss empties the gauge at once and leaves stack and score alone.
        const auto queue = Module1.KeyQueue;
        const QString bottom = form3->Label1(6)->caption() + form3->Label1(12)->caption() +
                               form3->Label1(0)->caption();
        GameFixture::missTarget();
        QCOMPARE(gauge(), QStringLiteral("0000000000"));
        QCOMPARE(Module1.StageScore, 175);
        QCOMPARE(scoreCells(), expectedCells(175));
        QVERIFY(Module1.KeyQueue == queue);
        QCOMPARE(form3->Label1(6)->caption() + form3->Label1(12)->caption() +
                     form3->Label1(0)->caption(),
                 bottom);
        QVERIFY(f.sounds.played.back().sound == Sound::SoundMiss);
        QVERIFY(!f.sounds.played.back().wait);

        GameFixture::hitTarget();
        QCOMPARE(Module1.StageScore, 176);
        QCOMPARE(gauge(), QStringLiteral("1000000000"));
    }

    // With a half step the gauge passes fractional levels that keep the points
    // per hit; after a miss the first hit scores nothing.
    void gaugeHalfStep()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        setUpStage(3);  // the test data gives stage 3 a step of 0.5
        QCOMPARE(Module1.StageGaugeStep[3], 0.5);
        GameFixture::keypad(form3, 0);

        // Points at levels 0.5, 1, 1.5, 2, ..., 10: a fraction keeps the last.
        const int perHit[] = {0, 1, 1, 2, 2, 3, 3, 5, 5, 7, 7, 10, 10, 14, 14, 19, 19, 24, 24, 30};
        int expected = 0;
        for (int k = 1; k <= 20; ++k) {
            GameFixture::hitTarget();
            expected += perHit[k - 1];
            QCOMPARE(Module1.StageScore, expected);
            const int lit = k / 2;
            QCOMPARE(gauge(), QString(lit, QLatin1Char('1')) + QString(10 - lit, QLatin1Char('0')));
        }
        QCOMPARE(expected, 200);
        // 10.5 keeps 30; 11 is brought back to 10.
        GameFixture::hitTarget();
        GameFixture::hitTarget();
        QCOMPARE(Module1.StageScore, 260);
        QCOMPARE(Module1.GaugeLevel, 10.0);
        QCOMPARE(gauge(), QStringLiteral("1111111111"));

        GameFixture::missTarget();
        GameFixture::hitTarget();
        QCOMPARE(Module1.StageScore, 260);
        QCOMPARE(gauge(), QStringLiteral("0000000000"));
        GameFixture::hitTarget();
        QCOMPARE(Module1.StageScore, 261);
        QCOMPARE(gauge(), QStringLiteral("1000000000"));
    }

    // A step that passes 11 without landing on it: 10.5 is a fraction like any
    // other (nothing lit, the points of level 9 kept), 12 and beyond hold the
    // gauge full at 30 per hit and never ask for an eleventh block.
    void gaugeOvershootingStep()
    {
        GameFixture f;
        TestGameData data;
        data.gaugeSteps = {"1.5", "1", "0.5", "1", "1"};
        QVERIFY(f.beginGame(data));
        GameFixture::keypad(form3, 0);

        // Levels 1.5, 3, 4.5, 6, 7.5, 9: fractions keep the last points.
        const int perHit[] = {0, 3, 3, 10, 10, 24};
        int expected = 0;
        for (int points : perHit) {
            GameFixture::hitTarget();
            expected += points;
        }
        QCOMPARE(Module1.StageScore, expected);
        QCOMPARE(gauge(), QStringLiteral("0010010010"));

        // 10.5: seven hits at step 1.5 make 0+3+3+10+10+24+24 = 74.
        GameFixture::hitTarget();
        expected += 24;
        QCOMPARE(expected, 74);
        QCOMPARE(Module1.StageScore, 74);
        QCOMPARE(Module1.GaugeLevel, 10.5);
        QCOMPARE(gauge(), QStringLiteral("0010010010"));

        // 12, then 11.5 each time: held at 10, all blocks lit, 30 each.
        for (int k = 0; k < 5; ++k) {
            GameFixture::hitTarget();
            expected += 30;
            QCOMPARE(Module1.StageScore, expected);
            QCOMPARE(Module1.GaugeLevel, 10.0);
            QCOMPARE(gauge(), QStringLiteral("1111111111"));
        }
        GameFixture::missTarget();
        QCOMPARE(gauge(), QStringLiteral("0000000000"));
    }

    // Key range 3 shows only 1, 2 and 3, each in its own keypad column and in
    // the key-group-0 colour of its row; a hit moves every row down by one.
    void keyRangeThreeGrid()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        setRandomSource(nullptr);
        setUpStage(1);
        QCOMPARE(Module1.StageKeyRange[1], 3);
        GameFixture::keypad(form3, 0);
        // Group 0 differs from the other groups in every row, so a wrong group shows.
        for (int r = 0; r < 6; ++r) {
            QVERIFY(Module1.KeyColors[0][r] != Module1.KeyColors[1][r]);
            QVERIFY(Module1.KeyColors[0][r] != Module1.KeyColors[2][r]);
        }

        const int columnBase[4] = {-1, 6, 12, 0};  // digit 1 left, 2 middle, 3 right
        QSet<int> seen;
        QString previousRows;
        for (int hit = 0; hit <= 300; ++hit) {
            QString rows;
            for (int r = 0; r < 6; ++r) {
                int filled = 0;
                int digit = 0;
                for (int base : {0, 6, 12}) {
                    const QString c = form3->Label1(base + r)->caption();
                    if (c.isEmpty())
                        continue;
                    ++filled;
                    digit = c.toInt();
                    QVERIFY2(digit >= 1 && digit <= 3, qPrintable(c));
                    QCOMPARE(base, columnBase[digit]);
                    QCOMPARE(form3->Label1(base + r)->foreColor(), Module1.KeyColors[0][r]);
                }
                QCOMPARE(filled, 1);
                QCOMPARE(digit, Module1.KeyQueue[r]);
                seen.insert(digit);
                rows += QString::number(digit);
            }
            if (!previousRows.isEmpty())
                QCOMPARE(rows.left(5), previousRows.mid(1));
            previousRows = rows;
            GameFixture::hitTarget();
        }
        QCOMPARE(seen, (QSet<int>{1, 2, 3}));

        // Keys 4 to 9 are never on screen: always a miss.
        GameFixture::hitTarget();
        for (int d = 4; d <= 9; ++d) {
            const int score = Module1.StageScore;
            GameFixture::keypad(form3, d);
            QCOMPARE(Module1.StageScore, score);
            QVERIFY(f.sounds.played.back().sound == Sound::SoundMiss);
            QCOMPARE(gauge(), QStringLiteral("0000000000"));
        }
    }

    // Only keypad digits during play are judged: not before keypad 0, not
    // after time-up, never the main keyboard; keypad 0 does not restart play.
    void keysJudgedOnlyDuringPlay()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        const std::size_t afterTitle = f.sounds.played.size();
        const auto queue = Module1.KeyQueue;

        // Ready: nothing is judged, and the main keyboard's 0 does not start.
        for (int d = 1; d <= 9; ++d)
            GameFixture::keypad(form3, d);
        for (int d = 0; d <= 9; ++d)
            GameFixture::mainKeyboardDigit(form3, d);
        QCOMPARE(f.sounds.played.size(), afterTitle);
        QCOMPARE(Module1.StageScore, 0);
        QCOMPARE(Module1.PlayActive, 0);
        QVERIFY(Module1.KeyQueue == queue);
        QVERIFY(!form3->Timer1->isActive());

        GameFixture::keypad(form3, 0);
        QCOMPARE(Module1.PlayActive, 1);
        const std::size_t afterStart = f.sounds.played.size();
        QCOMPARE(afterStart, afterTitle + 3);

        // Playing: the main keyboard's digit of the target does nothing.
        GameFixture::mainKeyboardDigit(form3, Module1.KeyQueue[0]);
        QCOMPARE(f.sounds.played.size(), afterStart);
        QCOMPARE(Module1.StageScore, 0);
        GameFixture::hitTarget();
        QCOMPARE(Module1.StageScore, 1);

        // Keypad 0 again during play: no count-down, no opening line.
        GameFixture::tickClock(3);
        const int comments = Module1.CommentCount;
        const int tens = Module1.ClockTens, units = Module1.ClockUnits;
        const std::size_t beforeZero = f.sounds.played.size();
        GameFixture::keypad(form3, 0);
        QCOMPARE(f.sounds.played.size(), beforeZero);
        QCOMPARE(Module1.CommentCount, comments);
        QCOMPARE(Module1.PlayActive, 1);
        QCOMPARE(Module1.ClockTens * 10 + Module1.ClockUnits, tens * 10 + units);
        QVERIFY(form3->Timer1->isActive());

        // Over: digits are not judged any more.
        GameFixture::tickClock(27);
        QCOMPARE(Module1.PlayOver, 1);
        const std::size_t afterTimeUp = f.sounds.played.size();
        const int score = Module1.StageScore;
        for (int d = 1; d <= 9; ++d)
            GameFixture::keypad(form3, d);
        QCOMPARE(f.sounds.played.size(), afterTimeUp);
        QCOMPARE(Module1.StageScore, score);
        QVERIFY(form3->isVisible());
    }

    // Keypad 0 counts down three, two, one, each heard to its end, then
    // announces the opening line and starts the 999 ms clock.
    void countDown()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        CountDownSink sink;
        setSoundSink(&sink);
        QCOMPARE(Module1.CommentCount, 3);
        GameFixture::keypad(form3, 0);
        setSoundSink(&f.sounds);

        QCOMPARE(int(sink.entries.size()), 3);
        const Sound order[] = {Sound::SoundThree, Sound::SoundTwo, Sound::SoundOne};
        for (int i = 0; i < 3; ++i) {
            QVERIFY(sink.entries[i].sound == order[i]);
            QVERIFY(sink.entries[i].wait);
            // Nothing has started while the count-down is heard.
            QCOMPARE(sink.entries[i].playActive, 0);
            QVERIFY(!sink.entries[i].timerActive);
            QCOMPARE(sink.entries[i].commentCount, 3);
        }
        QCOMPARE(Module1.CommentCount, 4);
        QCOMPARE(Module1.CommentLines[3], u8("さあ、スタートです！ 良い結果を期待しましょう！"));
        QCOMPARE(Module1.PlayActive, 1);
        QCOMPARE(Module1.PlayOver, 0);
        QVERIFY(form3->Timer1->isActive());
        QCOMPARE(form3->Timer1->interval(), 999);
        QCOMPARE(form3->Timer1->timerType(), Qt::PreciseTimer);
        QCOMPARE(form3->Image2->top(), 300.0);
    }

    // Keypad presses made during the count-down wait until it ends and are
    // then judged as play; a second keypad 0 among them does not restart.
    void keysDuringCountDownAreJudged()
    {
        GameFixture f;
        QVERIFY(f.beginGame());  // the fixture's random numbers make every digit 1
        QCOMPARE(Module1.KeyQueue[0], 1);
        CountDownSink sink;
        sink.keysToPost = {1, 0, 1, 5};  // hit, start again, hit, miss
        setSoundSink(&sink);
        GameFixture::keypad(form3, 0);
        // Still queued: nothing judged yet.
        QCOMPARE(Module1.StageScore, 0);
        QCOMPARE(int(sink.entries.size()), 3);
        QCoreApplication::sendPostedEvents(form3, QEvent::KeyPress);
        QCoreApplication::processEvents();
        setSoundSink(&f.sounds);

        QCOMPARE(Module1.StageScore, 1 + 2);
        QCOMPARE(int(sink.entries.size()), 3 + 3);
        QVERIFY(sink.entries[3].sound == Sound::SoundHit);
        QVERIFY(sink.entries[4].sound == Sound::SoundHit);
        QVERIFY(sink.entries[5].sound == Sound::SoundMiss);
        QCOMPARE(Module1.CommentCount, 4);
        QCOMPARE(Module1.GaugeLevel, 0.0);
    }

    // The marker moves 150 twips per tick from 450 to 4800; the 30th tick
    // ends the stage with the time-up lines, the sound and "集計中".
    void clockAndTimeUp()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        QVERIFY(!form3->Label12->isVisibleTo(form3));
        QCOMPARE(form3->Image2->top(), 300.0);
        GameFixture::keypad(form3, 0);
        QCOMPARE(form3->Image2->top(), 300.0);

        for (int tick = 1; tick <= 29; ++tick) {
            const int comments = Module1.CommentCount;
            GameFixture::tickClock(1);
            QCOMPARE(form3->Image2->top(), 300.0 + 150.0 * tick);
            QCOMPARE(Module1.ClockTens * 10 + Module1.ClockUnits, 30 - tick);
            QVERIFY(Module1.ClockUnits >= 0 && Module1.ClockUnits <= 9);
            QCOMPARE(Module1.PlayActive, 1);
            QCOMPARE(Module1.PlayOver, 0);
            QVERIFY(form3->Timer1->isActive());
            // The second that leaves 2 remaining is the only silent one.
            QCOMPARE(Module1.CommentCount, comments + (tick == 28 ? 0 : 1));
        }
        const std::size_t mark = f.sounds.played.size();
        GameFixture::tickClock(1);
        QCOMPARE(form3->Image2->top(), 4800.0);
        QCOMPARE(Module1.PlayActive, 0);
        QCOMPARE(Module1.PlayOver, 1);
        QCOMPARE(Module1.GaveUp, 0);
        QVERIFY(!form3->Timer1->isActive());
        QVERIFY(form3->Label12->isVisibleTo(form3));
        QCOMPARE(form3->Label12->caption(), u8("集計中"));
        QCOMPARE(f.sounds.played.size(), mark + 1);
        QVERIFY(f.sounds.played.back().sound == Sound::SoundTimeUp);
        QVERIFY(!f.sounds.played.back().wait);
        QCOMPARE(Module1.ClockTens, 0);
        QCOMPARE(Module1.ClockUnits, 1);
        QCOMPARE(Module1.CommentCount, 34);
        QCOMPARE(lastLines(form3->Label8->caption(), 2),
                 (QStringList{u8("あーっ！ ここでターイムアーップ！ 時間終了です！"),
                              u8("さあ、『テンキーの０』を押して記録を確認しましょう！")}));

        // The box shows exactly the four newest lines of the log.
        const QString log = form6->Label1(0)->caption();
        QVERIFY(log.endsWith(kCrlf));
        QCOMPARE(lastLines(log, 1000).size(), 35);
        QCOMPARE(form3->Label8->caption(), lastLines(log, 4).join(kCrlf));

        // Nothing else happens until keypad 0.
        QCOMPARE(Module1.ClockTens, 0);
        QCOMPARE(Module1.ClockUnits, 1);
        QVERIFY(form3->isVisible());
    }

    // A score equal to the quota clears; a score equal to the stage best is not
    // a new best and leaves the score file alone; the results screen is filled.
    void gameEndQuotaMetEqualBest()
    {
        GameFixture f;
        std::array<int, 12> scores{};
        for (int i = 0; i < 12; ++i)
            scores[i] = 1000 + i;
        scores[1] = 100;
        const QByteArray file = formatScores(scores);
        QVERIFY(f.beginGame(TestGameData{}, 4, file));
        GameFixture::keypad(form3, 0);
        GameFixture::tickClock(30);
        Module1.StageScore = 100;  // quota of stage 1
        Module1.GameScore = 37;
        const std::size_t mark = f.sounds.played.size();
        GameFixture::keypad(form3, 0);

        QCOMPARE(form4->Label3(1)->caption(), QStringLiteral("Clear!!"));
        QVERIFY(form4->Image3->picture() == form7->Picture3(0)->picture);
        QCOMPARE(f.sounds.played.size(), mark + 1);
        QVERIFY(f.sounds.played.back().sound == Sound::SoundClear);
        QCOMPARE(f.readFile(QStringLiteral("tavo_s.dat")), file);
        QCOMPARE(Module1.HighScores[1], 100);

        QCOMPARE(form4->Label2(1)->caption(), QStringLiteral("1000"));
        QCOMPARE(form4->Label4(1)->caption(), QStringLiteral("1370"));
        QCOMPARE(form4->Label5(1)->caption(), QStringLiteral("1000"));
        QCOMPARE(Module1.GameScore, 137);
        QVERIFY(form4->Image2->picture() == form7->Picture2(0)->picture);
        QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Form4")});
        QVERIFY(!form3->Label12->isVisibleTo(form3));
    }

    // A score above an empty best is a new best: "HiSCORE!!" and the file
    // rewritten with the new value in the stage's slot.
    void gameEndNewBestCleared()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        GameFixture::keypad(form3, 0);
        for (int k = 0; k < 14; ++k)
            GameFixture::hitTarget();  // 115 + 4 x 30
        QCOMPARE(Module1.StageScore, 235);
        GameFixture::tickClock(30);
        GameFixture::keypad(form3, 0);

        QCOMPARE(form4->Label3(1)->caption(), QStringLiteral("HiSCORE!!"));
        QVERIFY(form4->Image3->picture() == form7->Picture3(0)->picture);
        QVERIFY(f.sounds.played.back().sound == Sound::SoundClear);
        QCOMPARE(Module1.HighScores[1], 235);
        std::array<int, 12> expected{};
        expected[1] = 235;
        QCOMPARE(f.readFile(QStringLiteral("tavo_s.dat")), formatScores(expected));
        QCOMPARE(form4->Label2(1)->caption(), QStringLiteral("2350"));
        QCOMPARE(form4->Label4(1)->caption(), QStringLiteral("2350"));
    }

    // A score file that picked up something after its twelve numbers (a
    // stray line, a Ctrl-Z end mark, blank lines) still starts the game, and
    // the next save writes exactly the twelve CR LF lines again.
    void strayScoreFileTailRewritten()
    {
        std::array<int, 12> scores{};
        for (int i = 0; i < 12; ++i)
            scores[i] = 10 + i;
        for (const QByteArray& tail : {QByteArray("5\r\n"), QByteArray("\x1A"), QByteArray("\r\n\r\n\r\n")}) {
            GameFixture f;
            QVERIFY(f.beginGame(TestGameData{}, 4, formatScores(scores) + tail));
            QCOMPARE(Module1.HighScores[11], 21);
            GameFixture::keypad(form3, 0);
            for (int k = 0; k < 14; ++k)
                GameFixture::hitTarget();
            GameFixture::tickClock(30);
            GameFixture::keypad(form3, 0);
            std::array<int, 12> expected = scores;
            expected[1] = 235;
            QCOMPARE(f.readFile(QStringLiteral("tavo_s.dat")), formatScores(expected));
        }
    }

    // A new best on a failed stage is stored and written, yet the verdict is
    // "Failure!!" with the game-over picture and sound.
    void gameEndNewBestFailed()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        setUpStage(2);  // quota 200
        GameFixture::keypad(form3, 0);
        GameFixture::tickClock(30);
        Module1.StageScore = 150;
        const std::size_t mark = f.sounds.played.size();
        GameFixture::keypad(form3, 0);

        QCOMPARE(form4->Label3(1)->caption(), QStringLiteral("Failure!!"));
        QVERIFY(form4->Image3->picture() == form7->Picture3(2)->picture);
        QCOMPARE(f.sounds.played.size(), mark + 1);
        QVERIFY(f.sounds.played.back().sound == Sound::SoundGameOver);
        QCOMPARE(Module1.HighScores[2], 150);
        std::array<int, 12> expected{};
        expected[2] = 150;
        QCOMPARE(f.readFile(QStringLiteral("tavo_s.dat")), formatScores(expected));
        QCOMPARE(form4->Label2(1)->caption(), QStringLiteral("1500"));
        QCOMPARE(form4->Label5(1)->caption(), QStringLiteral("2000"));
        QVERIFY(form4->Image2->picture() == form7->Picture2(1)->picture);
    }

    // Esc during play gives up: three lines, the time-up sound, the clock off;
    // the verdict is "GiveUp!!" even above the quota, and Esc in Over only
    // asks whether to quit.
    void giveUp()
    {
        {
            GameFixture f;
            QVERIFY(f.beginGame());
            GameFixture::keypad(form3, 0);
            GameFixture::tickClock(5);
            Module1.StageScore = 120;  // above the quota of 100
            const std::size_t mark = f.sounds.played.size();
            const int comments = Module1.CommentCount;
            GameFixture::escape(form3);

            QVERIFY(f.messages.empty());
            QCOMPARE(Module1.PlayActive, 0);
            QCOMPARE(Module1.PlayOver, 1);
            QCOMPARE(Module1.GaveUp, 1);
            QCOMPARE(Module1.CommentCount, comments + 3);
            QCOMPARE(lastLines(form3->Label8->caption(), 3),
                     (QStringList{u8("あーっ！ なんとここでギブアップ！"),
                                  u8("いったい選手に何が起こってしまったというのでしょうか！"),
                                  u8("ここは一旦『テンキーの０』を押して、最終確認を致しましょう。")}));
            QCOMPARE(f.sounds.played.size(), mark + 1);
            QVERIFY(f.sounds.played.back().sound == Sound::SoundTimeUp);
            QVERIFY(!form3->Timer1->isActive());
            QVERIFY(form3->Label12->isVisibleTo(form3));
            QCOMPARE(Module1.StageScore, 120);

            // Esc in Over: the quit question, Cancel keeps everything as it was.
            f.answers.push_back(MsgResult::Cancel);
            GameFixture::escape(form3);
            QCOMPARE(int(f.messages.size()), 1);
            QCOMPARE(f.messages[0].text, u8("クェネルを終了します。"));
            QVERIFY(f.messages[0].buttons == MsgButtons::OKCancel);
            QVERIFY(f.messages[0].cancelIsDefault);
            QVERIFY(f.endRequests.empty());
            QCOMPARE(Module1.CommentCount, comments + 3);
            QCOMPARE(f.sounds.played.size(), mark + 1);

            const std::size_t beforeEnd = f.sounds.played.size();
            GameFixture::keypad(form3, 0);
            QCOMPARE(form4->Label3(1)->caption(), QStringLiteral("GiveUp!!"));
            QVERIFY(form4->Image3->picture() == form7->Picture3(2)->picture);
            QCOMPARE(f.sounds.played.size(), beforeEnd + 2);
            QVERIFY(f.sounds.played[beforeEnd].sound == Sound::SoundClear);
            QVERIFY(f.sounds.played.back().sound == Sound::SoundGameOver);
            // The beaten best is kept all the same.
            QCOMPARE(Module1.HighScores[1], 120);
            QCOMPARE(form4->Label2(1)->caption(), QStringLiteral("1200"));
            QCOMPARE(GameFixture::visibleScreens(), QStringList{QStringLiteral("Form4")});
        }
        {
            // Esc in Over answered OK ends the program.
            GameFixture f;
            QVERIFY(f.beginGame());
            GameFixture::keypad(form3, 0);
            GameFixture::escape(form3);
            GameFixture::escape(form3);
            QCOMPARE(int(f.messages.size()), 1);
            QCOMPARE(f.endRequests, std::vector<int>{0});
        }
    }

    // Clearing stage 5 leaves the all-cleared picture; failing it the game-over one.
    void gameEndStageFive()
    {
        {
            GameFixture f;
            QVERIFY(f.beginGame());
            setUpStage(5);  // quota 500
            GameFixture::keypad(form3, 0);
            GameFixture::tickClock(30);
            Module1.StageScore = 500;
            GameFixture::keypad(form3, 0);
            QVERIFY(form4->Image3->picture() == form7->Picture3(1)->picture);
            QVERIFY(f.sounds.played.back().sound == Sound::SoundClear);
            QVERIFY(form4->Image2->picture() == form7->Picture2(4)->picture);
            QCOMPARE(form4->Label5(1)->caption(), QStringLiteral("5000"));
        }
        {
            GameFixture f;
            QVERIFY(f.beginGame());
            setUpStage(5);
            GameFixture::keypad(form3, 0);
            GameFixture::tickClock(30);
            Module1.StageScore = 499;
            GameFixture::keypad(form3, 0);
            QCOMPARE(form4->Label3(1)->caption(), QStringLiteral("Failure!!"));
            QVERIFY(form4->Image3->picture() == form7->Picture3(2)->picture);
        }
    }

    // The extra mode keeps its stage bests in slots 7 to 11 only.
    void gameEndExtraModeSlots()
    {
        GameFixture f;
        std::array<int, 12> scores{};
        for (int i = 0; i < 12; ++i)
            scores[i] = 10 + i;  // every slot small enough to be beaten
        QVERIFY(f.beginGame(TestGameData{}, 6, formatScores(scores)));
        QCOMPARE(Module1.ScoreSlotBase, 6);
        // The best shown on the play screen is the extra one.
        QCOMPARE(form3->Label5(3)->caption(), QStringLiteral("7"));
        GameFixture::keypad(form3, 0);
        GameFixture::tickClock(30);
        Module1.StageScore = 300;
        GameFixture::keypad(form3, 0);

        QCOMPARE(form4->Label3(1)->caption(), QStringLiteral("HiSCORE!!"));
        std::array<int, 12> expected = scores;
        expected[7] = 300;
        QVERIFY(Module1.HighScores == expected);
        QCOMPARE(f.readFile(QStringLiteral("tavo_s.dat")), formatScores(expected));

        // Stage 3 of the same game: slot 9, the others as they are.
        setUpStage(3);
        QCOMPARE(form3->Label5(3)->caption(), QStringLiteral("9"));
        form3->show();
        GameFixture::keypad(form3, 0);
        GameFixture::tickClock(30);
        Module1.StageScore = 50;  // below the quota of 300, above the best of 19
        GameFixture::keypad(form3, 0);
        expected[9] = 50;
        QVERIFY(Module1.HighScores == expected);
        QCOMPARE(f.readFile(QStringLiteral("tavo_s.dat")), formatScores(expected));
        for (int i = 0; i <= 6; ++i)
            QCOMPARE(Module1.HighScores[i], scores[i]);
    }

    // The mascot introduces himself only while the stage waits for keypad 0.
    void mascotMessage()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        stagePlay->Image2_Click();
        QCOMPARE(int(f.messages.size()), 1);
        QCOMPARE(f.messages[0].text,
                 u8("ボクの名前は「ミルト＝ボーン」\r\nロルヴァ学園図書館のマスコットさ！"));
        QVERIFY(f.messages[0].informationIcon);
        QVERIFY(f.messages[0].buttons == MsgButtons::OK);
        // A real click on the marker reaches the same procedure.
        QTest::mouseClick(form3->Image2, Qt::LeftButton);
        QCOMPARE(int(f.messages.size()), 2);

        GameFixture::keypad(form3, 0);
        stagePlay->Image2_Click();
        QTest::mouseClick(form3->Image2, Qt::LeftButton);
        GameFixture::tickClock(30);
        stagePlay->Image2_Click();
        QCOMPARE(int(f.messages.size()), 2);
    }
};

QTEST_MAIN(PlayTest)
#include "test_play.moc"
