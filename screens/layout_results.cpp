// Results screen after each stage. The row titles are in the background
// picture; the four numbers stand right-aligned beside them, each the only
// element (index 1) of its control array.
#include "screens/art.h"
#include "screens/forms.h"
#include "screens/layout_table.h"

Form4::Form4()
{
    setWindowTitle(QString::fromUtf8(layout::kDesignCaption));
    setBackground(artPicture(QString::fromLatin1(art::kResults)));

    using layout::Align;
    struct Row {
        ControlArray<Label> Form4::*array;
        layout::LabelRow label;
    };
    static constexpr Row kRows[] = {
        {&Form4::Label2, {1, 4200, 960, 4095, 855, 0x00FF00, 42, Align::Right, "10000", true, false}},
        {&Form4::Label5, {1, 4200, 1800, 4095, 735, 0x00FFFF, 42, Align::Right, "10000", true, false}},
        {&Form4::Label3, {1, 4200, 2760, 4095, 855, 0xFF8000, 42, Align::Right, "Clear!!", true, false}},
        {&Form4::Label4, {1, 4200, 3720, 4095, 855, 0xFFFF00, 42, Align::Right, "10000", true, false}},
    };
    for (const Row& row : kRows)
        (this->*row.array).set(row.label.index, layout::makeLabel(this, row.label));

    // The design's first stage banner and "next stage" result picture.
    Image2 = layout::makeImage(this, 2580, 120, 3750, 750, QStringLiteral("stage_1.jpg"));
    // Starts 3 pixels left of the client area: the 600-pixel strip overhangs both sides.
    Image3 = layout::makeImage(this, -45, 4800, 9000, 750, QStringLiteral("result_0.jpg"));

    // Not of the design: after a lost game keypad 5 plays again. On the
    // bottom strip, in the gap between "Game over..." and its divider.
    static constexpr layout::LabelRow kAgain =
        {0, 4470, 5055, 1275, 330, 0xFFFFFF, 10.5, Align::Center, "5 もう一度", true, false};
    LabelAgain = layout::makeLabel(this, kAgain);
    LabelAgain->hide();
}
