// Stage set-up: resets the stage, draws the first six keys and prepares the
// play screen and the announcer's opening lines.
#include "platform/system.h"
#include "screens/forms.h"
#include "stage/stage_setup.h"
#include "state/digit_draw.h"
#include "state/module1.h"

void showDigits(const ControlArray<Label>& row, int value)
{
    // The leading cell takes everything above the thousands.
    row(0)->setCaption(QString::number(value / 1000));
    row(1)->setCaption(QString::number((value % 1000) / 100));
    row(2)->setCaption(QString::number((value % 100) / 10));
    row(3)->setCaption(QString::number(value % 10));
}

QString timesTen(int value)
{
    return QString::number(qint64(value) * kScoreUnit);
}

void refillPhraseDeck()
{
    Module1.PhraseCount = Module1.PhraseTotal;
    Module1.PhraseDeck.assign(Module1.PhraseList.begin(), Module1.PhraseList.end());
}

QString commentaryBox()
{
    const auto& lines = Module1.CommentLines;
    const QString crlf = QStringLiteral("\r\n");
    return lines[0] + crlf + lines[1] + crlf + lines[2] + crlf + lines[3];
}

void resetStage()
{
    GameState& m = Module1;
    m.PlayActive = 0;
    m.PlayOver = 0;
    m.StageScore = 0;
    m.GaugeLevel = 0;
    m.PointsPerHit = 0;
    m.GaveUp = 0;
    m.ClockTens = m.StageTimeLimit[m.Stage];
    m.ClockUnits = 0;
    m.CommentCount = 3;
    m.AnimFrame = 0;

    // Every phrase may be spoken again in the new stage.
    refillPhraseDeck();

    randomize();
    for (int i = 0; i < kKeyRows; ++i)
        m.KeyQueue[i] = drawDigit(m, rnd());
}

std::array<QString, 4> stageReadyLines(int stage)
{
    const GameState& m = Module1;
    return {QString::fromUtf8("さあ、いよいよ始まる") + m.StageTitle[stage] + QString::fromUtf8(" Stage！"),
            QString::fromUtf8("クリアノルマは") + timesTen(m.StageQuota[stage]) + QString::fromUtf8("点、制限時間は") +
                QString::number(m.StageTimeLimit[stage] * kSecondsPerTen) + QString::fromUtf8("秒。"),
            QString::fromUtf8("実況中継は、私、波木 音吉が務めさせて頂きます！"),
            QString::fromUtf8("準備完了、『テンキーの０』を押せば、ゲームスタートです。")};
}

void drawFirstStageAhead()
{
    // The font's glyphs are made on their first use. The announcer's
    // opening words are the first text of their size the player sees, and
    // making theirs would hold up the first play screen by milliseconds:
    // they are drawn once here, on the screen as it stands, and put back.
    const std::array<QString, 4> lines = stageReadyLines(1);
    const QString crlf = QStringLiteral("\r\n");
    const QString before = form3->Label8->caption();
    form3->Label8->setCaption(lines[0] + crlf + lines[1] + crlf + lines[2] + crlf + lines[3]);
    form3->grab(form3->Label8->geometry());
    form3->Label8->setCaption(before);
}

void Form4::n_stage()
{
    GameState& m = Module1;
    m.Stage = m.Stage + 1;
    resetStage();

    m.CommentLines = stageReadyLines(m.Stage);

    form3->showStageReady();
    form6->startLog(commentaryBox() + QStringLiteral("\r\n"));
}

void Form3::showStageReady()
{
    const GameState& m = Module1;
    const bool game = m.Practice == 0;
    for (int i = 0; i < kKeyGridCells; ++i)
        Label1(i)->setCaption(QString());
    for (int i = 0; i < kKeyRows; ++i)
        n_print(i);
    for (int i = 0; i < kGaugeBlocks; ++i)
        Image3(i)->setVisible(false);

    showDigits(Label5, m.HighScores[m.ScoreSlotBase + m.Stage]);
    showDigits(Label6, m.StageScore);
    showDigits(Label7, m.StageQuota[m.Stage]);
    // A practice stage has neither a quota nor a best score to show.
    for (const ControlArray<Label>* row : {&Label5, &Label7})
        for (const auto& [index, digit] : *row)
            digit->setVisible(game);
    Label2(0)->setVisible(game);
    Label2(5)->setVisible(game);

    Label8->setForeColor(QColor(255, 255, 255));
    Label8->setCaption(commentaryBox());
    Image5->setPicture(form7->Picture2(game ? m.Stage - 1 : kPracticeBanner)->picture);
    Image1->setPicture(form7->Picture1((m.Stage - 1) * kFramesPerStage + (m.AnimFrame % kFramesPerStage))->picture);
    Image2->setTop(kMarkerReadyTop);
}
