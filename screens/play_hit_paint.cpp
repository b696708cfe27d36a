// A hit on the play screen changes the key grid, the score, the gauge and
// the character picture; the window paints and sends them as one piece.
#include "screens/forms.h"
#include "screens/one_paint.h"
#include "state/module1.h"

QRect Form3::hitArea() const
{
    QRect area = Image1->geometry();
    for (const auto& [index, cell] : Label1)
        area |= cell->geometry();
    for (const auto& [index, digit] : Label6)
        area |= digit->geometry();
    for (const auto& [index, block] : Image3)
        area |= block->geometry();
    return area;
}

void Form3::keyPressEvent(QKeyEvent* event)
{
    // Every hit shows the next character picture, and only a hit does.
    const int framesBefore = Module1.AnimFrame;
    GameWindow::keyPressEvent(event);
    if (Module1.AnimFrame != framesBefore && isVisible())
        onePaint_->gather(hitArea());
}
