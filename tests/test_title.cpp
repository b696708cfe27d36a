// The title screen's menu (normal and extra game, high scores, the key
// colours, the mascot's message) and the set-up of each stage on the play
// screen.
#include "app/title.h"
#include "stage/results.h"
#include "support/game_fixture.h"

#include "screens/forms.h"
#include "state/module1.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const QString kCrLf = QStringLiteral("\r\n");
const QString kLine2 = QString::fromUtf8("実況中継は、私、波木 音吉が務めさせて頂きます！");
const QString kLine3 = QString::fromUtf8("準備完了、『テンキーの０』を押せば、ゲームスタートです。");

QStringList digits(const ControlArray<Label>& row)
{
    QStringList out;
    for (int i = 0; i <= 4; ++i)
        out << row(i)->caption();
    return out;
}

// The key colours of the normal mode, row by row, keys 1-3 / 4-6 / 7-9.
const QColor kNormalTable[6][3] = {
    {QColor(0, 255, 0), QColor(0, 255, 255), QColor(255, 255, 0)},
    {QColor(0, 192, 0), QColor(0, 192, 192), QColor(192, 192, 0)},
    {QColor(0, 128, 0), QColor(0, 128, 128), QColor(128, 128, 0)},
    {QColor(0, 128, 0), QColor(0, 128, 128), QColor(128, 128, 0)},
    {QColor(0, 64, 0), QColor(0, 64, 64), QColor(64, 64, 0)},
    {QColor(0, 64, 0), QColor(0, 64, 64), QColor(64, 64, 0)},
};
// The extra mode: the current key bright, the next dim, the rest black.
const QColor kExtraTable[6][3] = {
    {QColor(0, 255, 0), QColor(0, 255, 255), QColor(255, 255, 0)},
    {QColor(0, 64, 0), QColor(0, 64, 64), QColor(64, 64, 0)},
    {QColor(0, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0)},
    {QColor(0, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0)},
    {QColor(0, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0)},
    {QColor(0, 0, 0), QColor(0, 0, 0), QColor(0, 0, 0)},
};

void compareTable(const QColor (&expected)[6][3])
{
    for (int row = 0; row < 6; ++row)
        for (int group = 0; group < 3; ++group)
            QVERIFY2(Module1.KeyColors[group][row] == expected[row][group],
                     qPrintable(QStringLiteral("row %1 group %2: %3").arg(row).arg(group)
                                    .arg(Module1.KeyColors[group][row].name())));
}

}  // namespace

class TitleTest : public QObject {
    Q_OBJECT

    std::unique_ptr<GameFixture> fx;

    // A folder whose stage 1 is titled and scored so the announcement can be told apart.
    void startWith(const TestGameData& data, const std::array<int, 12>& scores)
    {
        fx->writeFolder(data);
        fx->writeFile("tavo_s.dat", formatScores(scores));
        QVERIFY(fx->startUp());
        fx->sounds.played.clear();
    }

private slots:
    void initTestCase() { qApp->setQuitOnLastWindowClosed(false); }
    void init() { fx = std::make_unique<GameFixture>(); }
    void cleanup() { fx.reset(); }

    void keypad4StartsNormalGame();
    void keypad6StartsExtraGame();
    void keypad1ShowsHighScores();
    void otherKeysDoNothing();
    void colourTablesAreRewrittenWhole();
    void mascotClickShowsClubMessage();

    void keyRangeOneDrawsOnlyOnes();
    void workedExampleAndPlayScreenReset();
    void bigBestShowsLeadingPartInFirstCell();
    void nextStageRefillsDeckAndStartsFreshLog();
    void noPhrasesStillSetsUp();
    void secondGameStartsAfresh();
};

void TitleTest::keypad4StartsNormalGame()
{
    // Keypad 4 starts the normal mode: stage 1 announced, slot 1's best shown, powah played, only the play screen visible.
    TestGameData data;
    data.titles[0] = QString::fromUtf8("はじまりの森");
    data.quotas[0] = "250";
    startWith(data, {9000, 1234, 2, 3, 4, 5, 9001, 5678, 8, 9, 10, 11});
    GameFixture::keypad(form1, 4);

    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
    QCOMPARE(Module1.ScoreSlotBase, 0);
    QCOMPARE(Module1.Stage, 1);
    QCOMPARE(Module1.CommentLines[0], QString::fromUtf8("さあ、いよいよ始まるはじまりの森 Stage！"));
    QCOMPARE(Module1.CommentLines[1], QString::fromUtf8("クリアノルマは2500点、制限時間は30秒。"));
    QCOMPARE(digits(form3->Label5), (QStringList{"1", "2", "3", "4", "0"}));
    QCOMPARE(digits(form3->Label7), (QStringList{"0", "2", "5", "0", "0"}));
    QCOMPARE(int(fx->sounds.played.size()), 1);
    QCOMPARE(fx->sounds.played.back().sound, Sound::SoundPowah);
    QVERIFY(!fx->sounds.played.back().wait);
    compareTable(kNormalTable);
    QVERIFY(fx->messages.empty());
}

void TitleTest::keypad6StartsExtraGame()
{
    // Keypad 6 starts the extra mode: slot 7's best, the extra colours in the key grid.
    startWith(TestGameData{}, {9000, 1234, 2, 3, 4, 5, 9001, 5678, 8, 9, 10, 11});
    GameFixture::keypad(form1, 6);

    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
    QCOMPARE(Module1.ScoreSlotBase, 6);
    QCOMPARE(Module1.Stage, 1);
    QCOMPARE(Module1.CommentLines[0], QString::fromUtf8("さあ、いよいよ始まるFirst Stage！"));
    QCOMPARE(Module1.CommentLines[1], QString::fromUtf8("クリアノルマは1000点、制限時間は30秒。"));
    QCOMPARE(digits(form3->Label5), (QStringList{"5", "6", "7", "8", "0"}));
    QCOMPARE(int(fx->sounds.played.size()), 1);
    QCOMPARE(fx->sounds.played.back().sound, Sound::SoundPowah);
    compareTable(kExtraTable);
    // The fixture's random source draws 1, 1, 1, 2, 2, 2 from a key range of
    // 3: the left column, then the middle, rows by queue slot.
    for (int slot = 0; slot <= 5; ++slot) {
        const int base = slot < 3 ? 6 : 12;
        QCOMPARE(form3->Label1(base + slot)->caption(), QString::number(slot < 3 ? 1 : 2));
        QCOMPARE(form3->Label1(base + slot)->foreColor(), kExtraTable[slot][0]);
    }
}

void TitleTest::keypad1ShowsHighScores()
{
    // Keypad 1 shows the twelve bests multiplied by 10 on the high-score screen.
    startWith(TestGameData{}, {4321, 0, 1, 99, 1000, 7, 0, 12345, 50, 3, 2, 8});
    GameFixture::keypad(form1, 1);

    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form8"});
    const QStringList expected{"43210", "0", "10", "990", "10000", "70", "0", "123450", "500", "30", "20", "80"};
    for (int i = 0; i < 12; ++i)
        QCOMPARE(form8->Label5(i)->caption(), expected[i]);
    QCOMPARE(int(fx->sounds.played.size()), 1);
    QCOMPARE(fx->sounds.played.back().sound, Sound::SoundPowah);
    QCOMPARE(Module1.Stage, 0);
}

void TitleTest::otherKeysDoNothing()
{
    // Only keypad 1, 2, 3, 4, 6, 8 and Esc act on the title; main-keyboard digits and other keypad digits do nothing.
    startWith(TestGameData{}, {});
    for (int d = 0; d <= 9; ++d)
        GameFixture::mainKeyboardDigit(form1, d);
    for (int d : {0, 5, 7, 9})
        GameFixture::keypad(form1, d);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
    QVERIFY(fx->messages.empty());
    QVERIFY(fx->sounds.played.empty());
    QVERIFY(fx->endRequests.empty());
    QCOMPARE(Module1.Stage, 0);
    QVERIFY(!Module1.KeyColors[0][0].isValid());
    QVERIFY(Module1.CommentLines[0].isEmpty());
}

void TitleTest::colourTablesAreRewrittenWhole()
{
    // color_s(1) after an extra game restores the whole normal table; any mode but 1 gives the extra table.
    startWith(TestGameData{}, {});
    titleScreen->color_s(2);
    compareTable(kExtraTable);
    titleScreen->color_s(1);
    compareTable(kNormalTable);
    titleScreen->color_s(0);
    compareTable(kExtraTable);
    titleScreen->color_s(1);
    compareTable(kNormalTable);
}

void TitleTest::mascotClickShowsClubMessage()
{
    // A click on the mascot shows the club message with the information icon, and nothing else happens.
    startWith(TestGameData{}, {});
    QTest::mouseClick(form1->Image1, Qt::LeftButton);
    QCOMPARE(int(fx->messages.size()), 1);
    const MessageRequest& box = fx->messages.front();
    QCOMPARE(box.text, QString::fromUtf8("ロルヴァ学園コンピューター同好会は、\r\nもちろん10000年問題非対応です。"));
    QVERIFY(box.informationIcon);
    QCOMPARE(box.buttons, MsgButtons::OK);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
    QVERIFY(fx->sounds.played.empty());
    QVERIFY(fx->endRequests.empty());
    QCOMPARE(Module1.Stage, 0);
}

void TitleTest::keyRangeOneDrawsOnlyOnes()
{
    // With a key range of 1 every first key is 1, shown in the left column, whatever the random numbers.
    TestGameData data;
    data.keyRanges = {"1", "1", "9", "9", "9"};
    startWith(data, {});
    fx->randoms = {0.0, 0.2, 0.5, 0.75, 0.9, 0.999999};
    GameFixture::keypad(form1, 4);

    for (int i = 0; i <= 5; ++i)
        QCOMPARE(Module1.KeyQueue[i], 1);
    for (int cell = 0; cell <= 17; ++cell) {
        const bool leftColumn = cell >= 6 && cell <= 11;
        QCOMPARE(form3->Label1(cell)->caption(), leftColumn ? QStringLiteral("1") : QString());
    }
    QVERIFY(fx->randoms.empty());  // exactly six draws
}

void TitleTest::workedExampleAndPlayScreenReset()
{
    // Stage 1 titled Ａ with quota 300 reads as in the example, and the play screen is put back to its start.
    TestGameData data;
    data.titles[0] = QString::fromUtf8("Ａ");
    data.quotas[0] = "300";
    data.keyRanges[0] = "9";
    startWith(data, {});
    // Leftovers that set-up must clear or keep.
    Module1.KeyQueue[6] = 7;
    form3->Image2->setTop(4321);
    for (int i = 0; i <= 9; ++i)
        form3->Image3(i)->setVisible(true);
    for (int i = 0; i <= 17; ++i)
        form3->Label1(i)->setCaption(QStringLiteral("x"));
    form3->Label8->setForeColor(Qt::red);
    // Keys 9, 5, 1, 3, 7, 2 in turn.
    fx->randoms = {0.95, 0.5, 0.0, 0.25, 0.7, 0.15};
    GameFixture::keypad(form1, 4);

    const QString l0 = QString::fromUtf8("さあ、いよいよ始まるＡ Stage！");
    const QString l1 = QString::fromUtf8("クリアノルマは3000点、制限時間は30秒。");
    QCOMPARE(Module1.CommentLines[0], l0);
    QCOMPARE(Module1.CommentLines[1], l1);
    QCOMPARE(Module1.CommentLines[2], kLine2);
    QCOMPARE(Module1.CommentLines[3], kLine3);
    QCOMPARE(digits(form3->Label7), (QStringList{"0", "3", "0", "0", "0"}));
    QCOMPARE(digits(form3->Label6), (QStringList{"0", "0", "0", "0", "0"}));
    QCOMPARE(digits(form3->Label5), (QStringList{"0", "0", "0", "0", "0"}));
    QCOMPARE(Module1.ClockTens, 3);
    QCOMPARE(Module1.ClockUnits, 0);
    QCOMPARE(Module1.PlayActive, 0);
    QCOMPARE(Module1.PlayOver, 0);
    QCOMPARE(Module1.CommentCount, 3);

    // The announcer's box: four lines, no line end after the last, white text.
    QCOMPARE(form3->Label8->caption(), l0 + kCrLf + l1 + kCrLf + kLine2 + kCrLf + kLine3);
    QCOMPARE(form3->Label8->foreColor(), QColor(255, 255, 255));
    // The log: the same four lines, each ending in CR LF.
    QCOMPARE(form6->Label1(0)->caption(), l0 + kCrLf + l1 + kCrLf + kLine2 + kCrLf + kLine3 + kCrLf);

    const int expectedKeys[6] = {9, 5, 1, 3, 7, 2};
    for (int i = 0; i <= 5; ++i)
        QCOMPARE(Module1.KeyQueue[i], expectedKeys[i]);
    QCOMPARE(Module1.KeyQueue[6], 7);
    // Only the six drawn keys are in the grid, each in its keypad column.
    QStringList grid;
    for (int i = 0; i <= 17; ++i)
        grid << form3->Label1(i)->caption();
    QCOMPARE(grid, (QStringList{"9", "", "", "3", "", "", "", "", "1", "", "7", "", "", "5", "", "", "", "2"}));

    QCOMPARE(form3->Image2->top(), 300.0);
    for (int i = 0; i <= 9; ++i)
        QVERIFY2(form3->Image3(i)->isHidden(), qPrintable(QString::number(i)));
    QCOMPARE(form3->Image5->picture(), form7->Picture2(0)->picture);
    QCOMPARE(form3->Image1->picture(), form7->Picture1(0)->picture);
}

void TitleTest::bigBestShowsLeadingPartInFirstCell()
{
    // A best of 10000 tens or more puts everything above the thousands into the first cell.
    startWith(TestGameData{}, {0, 12345, 0, 0, 0, 0, 0, 100000, 0, 0, 0, 0});
    GameFixture::keypad(form1, 4);
    QCOMPARE(digits(form3->Label5), (QStringList{"12", "3", "4", "5", "0"}));

    switchScreen(form3, form1);
    GameFixture::keypad(form1, 6);
    QCOMPARE(digits(form3->Label5), (QStringList{"100", "0", "0", "0", "0"}));
}

void TitleTest::nextStageRefillsDeckAndStartsFreshLog()
{
    // Each stage set-up refills the phrase deck, resets the stage values and replaces the log with the four opening lines.
    TestGameData data;
    data.phraseCount = 20;
    data.titles[1] = QString::fromUtf8("二の面");
    startWith(data, {0, 0, 444, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    GameFixture::keypad(form1, 4);
    GameFixture::keypad(form3, 0);
    form3->Timer1->stop();  // the test drives the clock itself
    GameFixture::hitTarget();
    GameFixture::hitTarget();
    GameFixture::tickClock(30);  // to time-up: the announcer draws from the deck
    QVERIFY(Module1.PhraseCount < Module1.PhraseTotal);
    QVERIFY(Module1.CommentCount > 3);
    QVERIFY(Module1.StageScore > 0);
    QCOMPARE(Module1.PlayOver, 1);

    // As after a cleared stage.
    Module1.KeyQueue[6] = 4;
    stageResults->n_stage();
    const GameState& m = Module1;
    QCOMPARE(m.Stage, 2);
    QCOMPARE(m.PhraseTotal, 20);
    QCOMPARE(m.PhraseCount, 20);
    QCOMPARE(m.PhraseDeck, m.PhraseList);
    QCOMPARE(m.PlayActive, 0);
    QCOMPARE(m.PlayOver, 0);
    QCOMPARE(m.GaveUp, 0);
    QCOMPARE(m.StageScore, 0);
    QCOMPARE(m.GaugeLevel, 0.0);
    QCOMPARE(m.PointsPerHit, 0);
    QCOMPARE(m.AnimFrame, 0);
    QCOMPARE(m.ClockTens, 3);
    QCOMPARE(m.ClockUnits, 0);
    QCOMPARE(m.CommentCount, 3);
    QCOMPARE(m.KeyQueue[6], 4);

    const QString l0 = QString::fromUtf8("さあ、いよいよ始まる二の面 Stage！");
    const QString l1 = QString::fromUtf8("クリアノルマは2000点、制限時間は30秒。");
    QCOMPARE(form6->Label1(0)->caption(), l0 + kCrLf + l1 + kCrLf + kLine2 + kCrLf + kLine3 + kCrLf);
    QCOMPARE(digits(form3->Label5), (QStringList{"0", "4", "4", "4", "0"}));
    QCOMPARE(digits(form3->Label6), (QStringList{"0", "0", "0", "0", "0"}));
    QCOMPARE(form3->Image5->picture(), form7->Picture2(1)->picture);
    QCOMPARE(form3->Image1->picture(), form7->Picture1(3)->picture);
    QCOMPARE(form3->Image2->top(), 300.0);
    for (int i = 0; i <= 9; ++i)
        QVERIFY(form3->Image3(i)->isHidden());
}

void TitleTest::noPhrasesStillSetsUp()
{
    // A data file without phrases leaves the deck empty and the stage is still set up.
    TestGameData data;
    data.phraseCount = 0;
    startWith(data, {});
    GameFixture::keypad(form1, 4);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
    QCOMPARE(Module1.Stage, 1);
    QCOMPARE(Module1.PhraseCount, 0);
    QCOMPARE(int(Module1.PhraseDeck.size()), 1);
    QCOMPARE(Module1.CommentCount, 3);
}

void TitleTest::secondGameStartsAfresh()
{
    // A game started after a lost one begins at stage 1 with a zero total and keeps the best scores.
    startWith(TestGameData{}, {});
    GameFixture::keypad(form1, 4);
    GameFixture::keypad(form3, 0);
    form3->Timer1->stop();
    for (int i = 0; i < 5; ++i)
        GameFixture::hitTarget();
    GameFixture::tickClock(30);
    GameFixture::keypad(form3, 0);  // verdict: below the quota of 1000 points
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form4"});
    GameFixture::keypad(form4, 4);  // game over: back to the title
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form1"});
    const int firstScore = Module1.GameScore;
    QVERIFY(firstScore > 0);
    QCOMPARE(Module1.HighScores[1], firstScore);
    const auto bests = Module1.HighScores;

    GameFixture::keypad(form1, 4);
    QCOMPARE(GameFixture::visibleScreens(), QStringList{"Form3"});
    QCOMPARE(Module1.Stage, 1);
    QCOMPARE(Module1.GameScore, 0);
    QCOMPARE(Module1.StageScore, 0);
    QCOMPARE(Module1.PlayOver, 0);
    QCOMPARE(Module1.HighScores, bests);
    QCOMPARE(form3->Label5(3)->caption(), QString::number(firstScore % 10));
    QCOMPARE(Module1.CommentCount, 3);
}

QTEST_MAIN(TitleTest)
#include "test_title.moc"
