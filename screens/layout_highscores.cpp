// High-score screen: twelve right-aligned numbers beside the row titles of
// the background picture, normal mode above, hard mode below. Element i
// shows score slot i, so each block's total (slots 0 and 6) comes last.
#include "screens/art.h"
#include "screens/forms.h"
#include "screens/layout_table.h"

Form8::Form8()
{
    setWindowTitle(QStringLiteral("Form8"));
    setFont(gameFont(9));
    setBackground(artPicture(QString::fromLatin1(art::kHighScores)));

    using layout::Align;
    constexpr double kLeft = 6240, kWidth = 1695, kHeight = 495, kPoints = 24;
    constexpr QRgb kStage = 0xFFFFFF, kTotal = 0xFFFF00;
    static constexpr layout::LabelRow kRows[] = {
        {1, kLeft, 720, kWidth, kHeight, kStage, kPoints, Align::Right, "100000", true, false},
        {2, kLeft, 1080, kWidth, kHeight, kStage, kPoints, Align::Right, "100000", true, false},
        {3, kLeft, 1440, kWidth, kHeight, kStage, kPoints, Align::Right, "100000", true, false},
        {4, kLeft, 1800, kWidth, kHeight, kStage, kPoints, Align::Right, "100000", true, false},
        {5, kLeft, 2160, kWidth, kHeight, kStage, kPoints, Align::Right, "100000", true, false},
        {0, kLeft, 2640, kWidth, kHeight, kTotal, kPoints, Align::Right, "1000000", true, false},
        {7, kLeft, 3120, kWidth, kHeight, kStage, kPoints, Align::Right, "100000", true, false},
        {8, kLeft, 3480, kWidth, kHeight, kStage, kPoints, Align::Right, "100000", true, false},
        {9, kLeft, 3840, kWidth, kHeight, kStage, kPoints, Align::Right, "100000", true, false},
        {10, kLeft, 4200, kWidth, kHeight, kStage, kPoints, Align::Right, "100000", true, false},
        {11, kLeft, 4560, kWidth, kHeight, kStage, kPoints, Align::Right, "100000", true, false},
        {6, kLeft, 5040, kWidth, kHeight, kTotal, kPoints, Align::Right, "100000", true, false},
    };
    for (const auto& row : kRows)
        Label5.set(row.index, layout::makeLabel(this, row));
}
