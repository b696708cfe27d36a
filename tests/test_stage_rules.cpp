// Rules that take the current stage's own values in stages 2 to 5 (key range,
// quota, character pictures), the thousands cell that widens from 10000 on,
// and the game total that counts every stage played, lost ones too.
#include "stage/results.h"
#include "screens/forms.h"
#include "state/module1.h"
#include "support/game_fixture.h"

#include <QtTest>

namespace {

// Every stage's values differ from every other's, so a rule that reads the
// wrong stage's value shows. P = quota / 3: 1000, 3000, 9000, 1500, 5000.
TestGameData distinctStages()
{
    TestGameData data;
    data.keyRanges = {"9", "2", "4", "6", "8"};
    data.quotas = {"3000", "9000", "27000", "4500", "15000"};
    return data;
}

// Prepares stage n on the play screen, as the results screen does, and
// starts it with keypad 0.
void startStage(int n)
{
    Module1.Stage = n - 1;
    stageResults->n_stage();
    GameFixture::keypad(form3, 0);
}

// The line announced when the clock reaches `seconds` in stage n, with the
// score set just before.
QString lineAt(int n, int seconds, int score)
{
    startStage(n);
    GameFixture::tickClock(30 - seconds - 1);
    Module1.StageScore = score;
    GameFixture::tickClock(1);
    return Module1.CommentLines[3];
}

QString cells(const ControlArray<Label>& row)
{
    QStringList out;
    for (int i = 0; i <= 4; ++i)
        out << row(i)->caption();
    return out.join(QLatin1Char(','));
}

}  // namespace

class StageRulesTest : public QObject {
    Q_OBJECT

private slots:
    // In stages 2 to 5 the new digit of a hit comes from 1 to that stage's key range.
    void newDigitsFromStageKeyRange()
    {
        GameFixture f;
        QVERIFY(f.beginGame(distinctStages()));
        for (int stage = 2; stage <= 5; ++stage) {
            const int range = Module1.StageKeyRange[stage];
            startStage(stage);
            f.randoms = {0.9999};
            GameFixture::hitTarget();
            QCOMPARE(Module1.KeyQueue[5], range);
            f.randoms = {0.0};
            GameFixture::hitTarget();
            QCOMPARE(Module1.KeyQueue[5], 1);
            QCOMPARE(Module1.KeyQueue[4], range);
        }
    }

    // At 20 seconds the pace and at 5 seconds the quota are the current stage's.
    void announcerUsesStageQuota()
    {
        GameFixture f;
        QVERIFY(f.beginGame(distinctStages()));
        const QString early = QString::fromUtf8("残り20秒！ まだまだこれからです。");
        const QString danger = QString::fromUtf8("残り20秒！ かなり遅れている！ これは危険か！？");
        const QString short5 = QString::fromUtf8("残り5秒！ しかし、まだノルマには達していない！");
        const QString reached5 = QString::fromUtf8("残り5秒！ どこまで記録を伸ばせるのか！");
        for (int stage = 2; stage <= 5; ++stage) {
            const int quota = Module1.StageQuota[stage];
            const int pace = quota / 3;
            QCOMPARE(lineAt(stage, 20, pace), early);
            QCOMPARE(lineAt(stage, 20, pace - 301), danger);
            QCOMPARE(lineAt(stage, 5, quota - 1), short5);
            QCOMPARE(lineAt(stage, 5, quota), reached5);
        }
    }

    // During play in stages 2 to 5 the character shows frame
    // (AnimFrame mod 3) + (Stage - 1) x 3, one step per hit.
    void characterFramesOfStage()
    {
        GameFixture f;
        QVERIFY(f.beginGame(distinctStages()));
        for (int stage = 2; stage <= 5; ++stage) {
            startStage(stage);
            QVERIFY(form3->Image1->picture() == form7->Picture1((stage - 1) * 3)->picture);
            for (int hit = 1; hit <= 4; ++hit) {
                GameFixture::hitTarget();
                QCOMPARE(Module1.AnimFrame, hit);
                QVERIFY2(form3->Image1->picture() == form7->Picture1(hit % 3 + (stage - 1) * 3)->picture,
                         qPrintable(QStringLiteral("stage %1, hit %2").arg(stage).arg(hit)));
            }
        }
    }

    // From 10000 on the thousands cell shows every digit above the hundreds,
    // in the score, the best and the quota rows alike.
    void thousandsCellWidens()
    {
        GameFixture f;
        std::array<int, 12> scores{};
        scores[2] = 23456;
        QByteArray file;
        for (int s : scores)
            file += QByteArray::number(s) + "\r\n";
        QVERIFY(f.beginGame(distinctStages(), 4, file));
        startStage(3);
        QCOMPARE(cells(form3->Label7), QStringLiteral("27,0,0,0,0"));
        startStage(2);
        QCOMPARE(cells(form3->Label5), QStringLiteral("23,4,5,6,0"));
        QCOMPARE(cells(form3->Label7), QStringLiteral("9,0,0,0,0"));

        Module1.StageScore = 9999;
        GameFixture::hitTarget();  // level 1: one unit
        QCOMPARE(Module1.StageScore, 10000);
        QCOMPARE(cells(form3->Label6), QStringLiteral("10,0,0,0,0"));
        Module1.StageScore = 123455;
        GameFixture::hitTarget();  // level 2: two units
        QCOMPARE(cells(form3->Label6), QStringLiteral("123,4,5,7,0"));
    }

    // A failed stage and a given-up stage add their score to the game total,
    // shown on the results screen.
    void lostStagesCountInTotal()
    {
        GameFixture f;
        QVERIFY(f.beginGame(distinctStages()));
        startStage(2);
        Module1.GameScore = 700;
        Module1.StageScore = 50;  // far below the quota: failed
        GameFixture::tickClock(30);
        GameFixture::keypad(form3, 0);
        QCOMPARE(form4->Label3(1)->caption(), QStringLiteral("Failure!!"));
        QCOMPARE(Module1.GameScore, 750);
        QCOMPARE(form4->Label4(1)->caption(), QStringLiteral("7500"));

        startStage(4);
        Module1.GameScore = 700;
        Module1.StageScore = 5000;  // above the quota of 4500, then given up
        GameFixture::escape(form3);
        GameFixture::keypad(form3, 0);
        QCOMPARE(form4->Label3(1)->caption(), QStringLiteral("GiveUp!!"));
        QCOMPARE(Module1.GameScore, 5700);
        QCOMPARE(form4->Label4(1)->caption(), QStringLiteral("57000"));
    }
};

QTEST_MAIN(StageRulesTest)
#include "test_stage_rules.moc"
