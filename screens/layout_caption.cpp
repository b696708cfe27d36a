// The borderless caption window: created with the others and never shown.
// Start-up writes the game's caption into it like every other window.
#include "screens/forms.h"
#include "screens/layout_table.h"

Form2::Form2()
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setWindowTitle(QString::fromUtf8(layout::kDesignCaption));
    setFixedSize(twipsToPixels(5790), twipsToPixels(1275));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);

    using layout::Align;
    static constexpr layout::LabelRow kLabel1 =
        {0, 120, 120, 5040, 720, 0xFFFFFF, 36, Align::Left, "", true, false};
    Label1 = layout::makeLabel(this, kLabel1);
    Label1->hide();
}
