// The announcer: the phrase for every second of a stage, the score
// thresholds, the random phrases drawn without repeats, and the two places
// every line goes (the four-line box and the stage's log).
#include "stage/results.h"
#include "platform/system.h"
#include "screens/forms.h"
#include "stage/stage_setup.h"
#include "state/module1.h"
#include "support/game_fixture.h"

#include <QSet>
#include <QtTest>

namespace {

const QString kCrlf = QStringLiteral("\r\n");

QString u8(const char* text)
{
    return QString::fromUtf8(text);
}

// Stage 1 afresh, started with keypad 0.
void restartStageOne()
{
    Module1.Stage = 0;
    stageResults->n_stage();
    GameFixture::keypad(form3, 0);
}

int remaining()
{
    return Module1.ClockTens * 10 + Module1.ClockUnits;
}

// Runs the clock until `seconds` remain, sets the score one tick before, and
// returns the line announced on reaching it.
QString lineAt(int seconds, int score)
{
    restartStageOne();
    GameFixture::tickClock(30 - seconds - 1);
    Module1.StageScore = score;
    const int before = Module1.CommentCount;
    GameFixture::tickClock(1);
    if (remaining() != seconds || Module1.CommentCount != before + 1)
        return QStringLiteral("<no line at %1 s>").arg(seconds);
    return Module1.CommentLines[3];
}

bool isRandomPhrase(const QString& line)
{
    return line.startsWith(u8("フレーズ"));
}

// The seconds at which the table has no fixed phrase.
QSet<int> randomSeconds()
{
    QSet<int> s;
    for (int r = 1; r <= 29; ++r)
        s.insert(r);
    for (int r : {28, 20, 15, 10, 5, 4, 3, 2, 1})
        s.remove(r);
    return s;
}

// Plays a stage to time-up and returns, per remaining second, the line
// announced then ("" when nothing was).
QMap<int, QString> playStage()
{
    QMap<int, QString> lines;
    for (int tick = 1; tick <= 29; ++tick) {
        const int before = Module1.CommentCount;
        GameFixture::tickClock(1);
        lines[remaining()] = Module1.CommentCount > before ? Module1.CommentLines[3] : QString();
    }
    GameFixture::tickClock(1);
    return lines;
}

}  // namespace

class CommentaryTest : public QObject {
    Q_OBJECT

private slots:
    // Every line goes to the log and to the box, which keeps the four newest,
    // oldest on top, without a line break after the last.
    void boxAndLog()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        const QStringList intro{Module1.CommentLines[0], Module1.CommentLines[1],
                                Module1.CommentLines[2], Module1.CommentLines[3]};
        QCOMPARE(form3->Label8->caption(), intro.join(kCrlf));
        QCOMPARE(form6->Label1(0)->caption(), intro.join(kCrlf) + kCrlf);

        GameFixture::keypad(form3, 0);
        const QString opening = u8("さあ、スタートです！ 良い結果を期待しましょう！");
        QCOMPARE(form3->Label8->caption(), (intro.mid(1) + QStringList{opening}).join(kCrlf));
        QCOMPARE(form6->Label1(0)->caption(), (intro + QStringList{opening}).join(kCrlf) + kCrlf);
        QVERIFY(!form6->isVisible());

        QStringList all = intro;
        all << opening;
        for (int tick = 1; tick <= 3; ++tick) {
            GameFixture::tickClock(1);
            all << Module1.CommentLines[3];
        }
        // After four announcements only play lines remain in the box.
        QCOMPARE(form3->Label8->caption(), all.mid(4).join(kCrlf));
        QCOMPARE(form6->Label1(0)->caption(), all.join(kCrlf) + kCrlf);
        QCOMPARE(Module1.CommentCount, 3 + 4);
        QCOMPARE(Module1.CommentLines[0], opening);
    }

    // The opening words drawn ahead of the first play screen are the first
    // stage's own, and drawing them leaves the play screen as it was.
    void openingDrawnAhead()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        QCOMPARE(Module1.Stage, 1);
        QCOMPARE(stageReadyLines(1), Module1.CommentLines);
        form3->Label8->setCaption(u8("前のまま"));
        const QImage before = form3->grab().toImage();
        drawFirstStageAhead();
        QCOMPARE(form3->Label8->caption(), u8("前のまま"));
        QCOMPARE(form3->grab().toImage(), before);
    }

    // The start at 28 seconds is judged at 50, 100 and 200, each bound inclusive.
    void thresholdsAt28()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        const QString late = u8("どうした？ 出遅れてしまったのか！？");
        const QString soso = u8("スタートはまあまあと言ったところでしょうか。");
        const QString good = u8("スタートは良い感じです。しかし、まだまだ先は長い！");
        const QString rocket = u8("ロケットのようなスタート！ 一気に勝負を決めてしまうのか！？");
        QCOMPARE(lineAt(28, 0), late);
        QCOMPARE(lineAt(28, 49), late);
        QCOMPARE(lineAt(28, 50), soso);
        QCOMPARE(lineAt(28, 99), soso);
        QCOMPARE(lineAt(28, 100), good);
        QCOMPARE(lineAt(28, 199), good);
        QCOMPARE(lineAt(28, 200), rocket);
    }

    // At 20 seconds the pace P = whole part of quota / 3 sets the bounds
    // P-300, P-100, P and P+200.
    void thresholdsAt20()
    {
        GameFixture f;
        TestGameData data;
        data.quotas = {"2000", "200", "300", "400", "500"};  // P = 666 (not 667)
        QVERIFY(f.beginGame(data));
        const int P = 666;
        const QString danger = u8("残り20秒！ かなり遅れている！ これは危険か！？");
        const QString faster = u8("残り20秒！ 少しペースを上げたいところ！");
        const QString early = u8("残り20秒！ まだまだこれからです。");
        const QString steady = u8("残り20秒！ 順調なペースです！");
        const QString fast = u8("残り20秒！ 速い！ 速い！ 速すぎるぅっ！");
        QCOMPARE(lineAt(20, P - 301), danger);
        QCOMPARE(lineAt(20, P - 300), faster);
        QCOMPARE(lineAt(20, P - 101), faster);
        QCOMPARE(lineAt(20, P - 100), early);
        QCOMPARE(lineAt(20, P), early);
        QCOMPARE(lineAt(20, P + 1), steady);
        QCOMPARE(lineAt(20, P + 200), steady);
        QCOMPARE(lineAt(20, P + 201), fast);
    }

    // At 5 seconds a score equal to the quota counts as reached.
    void thresholdAt5()
    {
        GameFixture f;
        QVERIFY(f.beginGame());  // stage 1 quota 100
        QCOMPARE(lineAt(5, 99), u8("残り5秒！ しかし、まだノルマには達していない！"));
        QCOMPARE(lineAt(5, 100), u8("残り5秒！ どこまで記録を伸ばせるのか！"));
        QCOMPARE(lineAt(5, 1000), u8("残り5秒！ どこまで記録を伸ばせるのか！"));
    }

    // The fixed seconds have their phrases whatever the score, 2 seconds is
    // silent, and every other second draws a random phrase.
    void fixedAndRandomSeconds()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        for (int score : {0, 5000}) {
            restartStageOne();
            Module1.StageScore = score;
            const QMap<int, QString> lines = playStage();
            QCOMPARE(lines.value(15), u8("残り15秒！ 後半戦に折り返しました！"));
            QCOMPARE(lines.value(10), u8("残り10秒！ さあ、一気に攻めていきたい！"));
            QCOMPARE(lines.value(4), u8("さあ、ここからは時間との勝負です！"));
            QCOMPARE(lines.value(3), u8("残り3秒を切ったぁぁぁぁぁぁっ！"));
            QCOMPARE(lines.value(2), QString());
            QCOMPARE(lines.value(1), u8("終了寸前！ 打て！ 打て！ 打ちまくれ！"));
            for (int r = 1; r <= 29; ++r)
                QCOMPARE(isRandomPhrase(lines.value(r)), randomSeconds().contains(r));
            QCOMPARE(Module1.CommentCount, 34);
            QCOMPARE(Module1.PhraseCount, 30 - 20);
        }
    }

    // A stage never draws the same phrase twice; the next stage has the full deck.
    void noPhraseTwice()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        setRandomSource(nullptr);
        QSet<QString> everUsed;
        for (int round = 0; round < 10; ++round) {
            restartStageOne();
            QCOMPARE(Module1.PhraseCount, 30);
            const QMap<int, QString> lines = playStage();
            QSet<QString> drawn;
            for (int r : randomSeconds()) {
                QVERIFY2(isRandomPhrase(lines.value(r)), qPrintable(lines.value(r)));
                drawn.insert(lines.value(r));
            }
            QCOMPARE(drawn.size(), 20);
            everUsed.unite(drawn);
            // What is left in the deck is exactly what was not drawn.
            QSet<QString> left;
            for (int i = 1; i <= Module1.PhraseCount; ++i)
                left.insert(Module1.PhraseDeck[i]);
            QCOMPARE(left.size(), 10);
            QVERIFY(!left.intersects(drawn));
        }
        // Ten stages of real draws reach well beyond the first twenty phrases.
        QVERIFY(everUsed.size() > 20);
    }

    // Drawing closes the gap and keeps the order of the rest; drawing the last
    // slot moves nothing.
    void drawKeepsOrder()
    {
        GameFixture f;
        QVERIFY(f.beginGame());
        GameFixture::keypad(form3, 0);
        QCOMPARE(Module1.PhraseCount, 30);
        const std::vector<QString> full(Module1.PhraseDeck.begin(), Module1.PhraseDeck.begin() + 31);

        f.randoms = {0.999};  // i = 30, the last slot
        GameFixture::tickClock(1);  // 29 s
        QCOMPARE(Module1.CommentLines[3], u8("フレーズ30"));
        QCOMPARE(Module1.PhraseCount, 29);
        for (int k = 1; k <= 29; ++k)
            QCOMPARE(Module1.PhraseDeck[k], full[k]);

        GameFixture::tickClock(1);  // 28 s: fixed phrase, no draw
        QCOMPARE(Module1.PhraseCount, 29);

        f.randoms = {0.5};  // i = Int(29 x 0.5) + 1 = 15
        GameFixture::tickClock(1);  // 27 s
        QCOMPARE(Module1.CommentLines[3], u8("フレーズ15"));
        QCOMPARE(Module1.PhraseCount, 28);
        for (int k = 1; k <= 14; ++k)
            QCOMPARE(Module1.PhraseDeck[k], full[k]);
        for (int k = 15; k <= 28; ++k)
            QCOMPARE(Module1.PhraseDeck[k], full[k + 1]);

        f.randoms = {0.0};  // the first slot
        GameFixture::tickClock(1);  // 26 s
        QCOMPARE(Module1.CommentLines[3], u8("フレーズ1"));
        QCOMPARE(Module1.PhraseDeck[1], u8("フレーズ2"));
        QCOMPARE(Module1.PhraseDeck[27], u8("フレーズ29"));
        QCOMPARE(Module1.PhraseCount, 27);
    }

    // A deck shorter than a stage's twenty draws starts again when it runs out.
    void shortDeckRefills()
    {
        GameFixture f;
        TestGameData data;
        data.phraseCount = 5;
        QVERIFY(f.beginGame(data));
        setRandomSource(nullptr);
        restartStageOne();
        const QMap<int, QString> lines = playStage();
        QStringList drawn;
        for (int r = 29; r >= 1; --r)
            if (randomSeconds().contains(r))
                drawn << lines.value(r);
        QCOMPARE(drawn.size(), 20);
        const QSet<QString> all{u8("フレーズ1"), u8("フレーズ2"), u8("フレーズ3"),
                                u8("フレーズ4"), u8("フレーズ5")};
        // Each run of five draws uses every phrase once.
        for (int block = 0; block < 4; ++block) {
            const QStringList part = drawn.mid(block * 5, 5);
            QCOMPARE(QSet<QString>(part.begin(), part.end()), all);
        }
        QCOMPARE(Module1.CommentCount, 34);
        QCOMPARE(Module1.PlayOver, 1);
    }

    // With no phrases at all the random seconds pass in silence.
    void noPhrasesAtAll()
    {
        GameFixture f;
        TestGameData data;
        data.phraseCount = 0;
        QVERIFY(f.beginGame(data));
        QCOMPARE(Module1.PhraseTotal, 0);
        GameFixture::keypad(form3, 0);
        const QString box = form3->Label8->caption();
        GameFixture::tickClock(1);  // 29 s: would be a random phrase
        QCOMPARE(Module1.CommentCount, 4);
        QCOMPARE(form3->Label8->caption(), box);
        GameFixture::tickClock(29);
        QCOMPARE(Module1.PlayOver, 1);
        QCOMPARE(Module1.CommentCount, 34 - 20);
        QCOMPARE(form6->Label1(0)->caption().count(kCrlf), 35 - 20);
        QCOMPARE(Module1.CommentLines[3], u8("さあ、『テンキーの０』を押して記録を確認しましょう！"));
    }
};

QTEST_MAIN(CommentaryTest)
#include "test_commentary.moc"
