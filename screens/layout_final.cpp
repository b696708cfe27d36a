// Final results screen: game total, best total of the mode and the rank emblem.
#include "screens/art.h"
#include "screens/forms.h"
#include "screens/layout_table.h"

Form5::Form5()
{
    setWindowTitle(QString::fromUtf8(layout::kDesignCaption));
    setBackground(artPicture(QString::fromLatin1(art::kFinal)));

    // Design copy of the rank E emblem. Created first, so it lies behind the
    // two numbers: the best total's label reaches down over the emblem's top.
    Image1 = layout::makeImage(this, 4680, 4080, 3000, 750, QStringLiteral("rank_0.jpg"));

    using layout::Align;
    struct Row {
        Label* Form5::*label;
        layout::LabelRow design;
    };
    static constexpr Row kRows[] = {
        {&Form5::Label3, {0, 4560, 3000, 3015, 735, 0xFFFF00, 36, Align::Right, "100000", true, false}},
        {&Form5::Label5, {0, 4560, 3600, 3015, 735, 0x00FF00, 36, Align::Right, "1000", true, false}},
    };
    for (const Row& row : kRows)
        this->*row.label = layout::makeLabel(this, row.design);

    // Not of the design: keypad 5 plays again. Bottom right, beside "OK!! 0".
    static constexpr layout::LabelRow kAgain =
        {0, 6300, 5160, 2400, 360, 0xFFFFFF, 12, Align::Right, "5 もう一度", true, false};
    LabelAgain = layout::makeLabel(this, kAgain);
}
