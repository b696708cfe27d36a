#include "screens/one_paint.h"

OnePaint::OnePaint(QWidget* window) : QWidget(window)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(window->rect());
    raise();
}

void OnePaint::gather(const QRect& area)
{
    // Not a solid widget, so Qt keeps the whole area in the region it paints
    // and sends, rather than cutting the unchanged solid controls out of it.
    update(area);
}

void OnePaint::paintEvent(QPaintEvent*)
{
    // Nothing of its own: the controls below draw the area.
}
