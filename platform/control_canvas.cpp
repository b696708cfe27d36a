#include "platform/control_canvas.h"

#include "platform/controls.h"

#include <QPaintEvent>
#include <QPainter>

ControlCanvas::ControlCanvas(QWidget* window) : QWidget(window), window_(window)
{
    setControlCanvas(window, this);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // It paints every pixel it covers, so Qt skips everything behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(window->rect());
    raise();
}

ControlCanvas::~ControlCanvas()
{
    setControlCanvas(window_, nullptr);
}

void ControlCanvas::paintEvent(QPaintEvent* event)
{
    const QRegion& region = event->region();
    const QRect bounds = region.boundingRect();
    QPainter painter(this);
    painter.fillRect(bounds, parentWidget()->palette().color(QPalette::Window));
    // Back to front, as Qt would draw them; only what lies behind the canvas.
    for (QObject* child : parentWidget()->children()) {
        if (child == this)
            break;
        auto* widget = qobject_cast<QWidget*>(child);
        if (!widget || widget->isHidden() || widget->isWindow())
            continue;
        const QRect place = widget->geometry();
        if (!place.intersects(bounds) || !region.intersects(place))
            continue;
        // The controls have no meta-object of their own: told apart by type.
        if (const auto* control = dynamic_cast<const Control*>(widget)) {
            painter.setTransform(QTransform::fromTranslate(place.x(), place.y()));
            painter.setClipRect(QRect(QPoint(0, 0), place.size()));
            control->paintOn(painter);
        } else {
            painter.resetTransform();
            painter.setClipping(false);
            widget->render(&painter, place.topLeft(), QRegion(), QWidget::DrawChildren);
        }
    }
}
