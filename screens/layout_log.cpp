// Commentary log: one tall transparent label that slides up and down under
// the client area, with the key hint drawn over its lower right corner.
#include "screens/forms.h"
#include "screens/layout_table.h"

Form6::Form6()
{
    setWindowTitle(QString::fromUtf8(layout::kDesignCaption));

    using layout::Align;
    // 32490 twips = 2166 pixels: 103 lines of 21 pixels.
    static constexpr layout::LabelRow kLog =
        {0, 120, 120, 8340, 32490, 0xFFFFFF, 15.75, Align::Left, "あ", true, false};
    // Narrow on purpose: the hint wraps to three lines.
    static constexpr layout::LabelRow kHint =
        {0, 8040, 4800, 855, 735, 0xFFFFFF, 12, Align::Left, "４：上へ １：下へ ０：戻る", false, false};

    Label1.set(kLog.index, layout::makeLabel(this, kLog));
    Label2 = layout::makeLabel(this, kHint);
}
