// The play screen's painting beyond the key grid: a stage made ready, the
// time marker and the number rows.
#include "screens/forms.h"
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

void Form3::placeMarker(int elapsed)
{
    Image2->setTop(static_cast<float>(elapsed * kMarkerStep + kMarkerStart));
}

void Form3::showStageReady(const QString& commentary)
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
    Label8->setCaption(commentary);
    Image5->setPicture(form7->Picture2(game ? m.Stage - 1 : kPracticeBanner)->picture);
    Image1->setPicture(form7->Picture1((m.Stage - 1) * kFramesPerStage + (m.AnimFrame % kFramesPerStage))->picture);
    Image2->setTop(kMarkerReadyTop);
    LabelPace->hide();
}
