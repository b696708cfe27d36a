// Title screen: the title artwork carries the menu; the only controls are
// the mascot (a click shows the club message) and an idle timer.
#include "screens/art.h"
#include "screens/forms.h"
#include "screens/layout_table.h"

#include <QTimer>

Form1::Form1()
{
    setWindowTitle(QString::fromUtf8(layout::kDesignCaption));
    setBackground(artPicture(QString::fromLatin1(art::kTitle)));

    Image1 = layout::makeImage(this, 60, 60, 480, 480, QString::fromLatin1(art::kMascot));
    // The menu line of 数字入力 (keypad 8), drawn in the title's style for
    // the place the title leaves empty in the middle of the upper row.
    entryLine = layout::makeImage(this, 3150, 3000, 2940, 750, QString::fromLatin1(art::kTitleEntryLine));

    // Today's minutes against the daily goal, in the dark between the
    // lower menu row and the notice; empty and hidden until told.
    static constexpr layout::LabelRow kDailyLine =
        {0, 3990, 4395, 4500, 300, 0xB8C4DC, 10, layout::Align::Right, "", true, false};
    dailyLine = layout::makeLabel(this, kDailyLine);
    dailyLine->hide();

    // Designed in at 100 ms but never enabled.
    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, [this] {
        if (onTimer1)
            onTimer1();
    });
}

void Form1::showEvent(QShowEvent* event)
{
    GameWindow::showEvent(event);
    if (onShown)
        onShown();
}
