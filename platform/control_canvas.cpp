#include "platform/control_canvas.h"

#include "platform/controls.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QHash>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QVarLengthArray>
#include <QWindow>

namespace {
// The areas to draw: the rectangles of `region`, those that touch or
// overlap joined into their bounding rectangle. A key changes a dozen grid
// cells that overlap by their shared border; drawn as one block they cost
// a few copies instead of dozens of slivers, each with its own clip.
QList<QRect> joinedAreas(const QRegion& region)
{
    QList<QRect> areas(region.begin(), region.end());
    for (bool joined = true; joined;) {
        joined = false;
        for (qsizetype i = 0; i < areas.size() && !joined; ++i) {
            for (qsizetype j = i + 1; j < areas.size(); ++j) {
                if (areas[i].adjusted(0, 0, 1, 1).intersects(areas[j])
                    || areas[j].adjusted(0, 0, 1, 1).intersects(areas[i])) {
                    areas[i] |= areas[j];
                    areas.removeAt(j);
                    joined = true;
                    break;
                }
            }
        }
    }
    return areas;
}

// Qt's X11 backing store hands its pixels to the X server in shared memory.
// Before it paints over pixels it has handed over, it waits for the server
// to have read them: a round trip, paid by the next key unless it was paid
// while the program had nothing else to do.
bool handsPixelsOver()
{
    static const bool x11 = QGuiApplication::platformName() == QLatin1String("xcb");
    return x11;
}

QHash<const QWidget*, ControlCanvas*>& canvases()
{
    static QHash<const QWidget*, ControlCanvas*> map;
    return map;
}
}  // namespace

ControlCanvas* controlCanvas(const QWidget* window)
{
    return canvases().value(window);
}

ControlCanvas::ControlCanvas(QWidget* window) : QWidget(window), window_(window)
{
    canvases().insert(window, this);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    // It paints every pixel it covers, so Qt skips everything behind it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(window->rect());
    raise();
}

ControlCanvas::~ControlCanvas()
{
    canvases().remove(window_);
}

void ControlCanvas::redrawArea(const QRect& area)
{
    update(area);
}

void ControlCanvas::flushTogether(const QRect& area)
{
    // At once, within the key's own event: no turn of the event loop
    // between the change and its pixels.
    repaint(area);
}

void ControlCanvas::settleHandedPixels(const QRect& handed)
{
    // A paint of nothing over a pixel just handed over: the backing store
    // makes its round trip now, and the next paint finds nothing to wait for.
    // A window with an alpha channel would have that pixel cleared first.
    QBackingStore* store = backingStore();
    const QWindow* handle = window_->windowHandle();
    if (store && isVisible() && handle && !handle->format().hasAlpha()) {
        store->beginPaint(QRegion(handed.x(), handed.y(), 1, 1));
        store->endPaint();
    }
}

void ControlCanvas::paintEvent(QPaintEvent* event)
{
    // All of what Qt asks for: not every platform keeps the last frame in
    // the window's buffer (a Wayland buffer is handed back blank or cleared),
    // so nothing in the region can be taken as already right.
    const QRegion region = event->region();
    if (handsPixelsOver() && !settlePending_) {
        // Qt flushes after this paint; the next turn of the event loop comes after.
        settlePending_ = true;
        const QRect handed = event->region().begin()->translated(mapTo(window_, QPoint()));
        QTimer::singleShot(0, this, [this, handed] {
            settlePending_ = false;
            settleHandedPixels(handed);
        });
    }

    // What lies behind the canvas in that area, back to front as Qt would
    // draw it, found once for all the rectangles.
    const QRect bounds = region.boundingRect();
    QVarLengthArray<QWidget*, 64> behind;
    for (QObject* child : window_->children()) {
        if (child == this)
            break;
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget && !widget->isHidden() && !widget->isWindow() &&
            widget->geometry().intersects(bounds))
            behind.append(widget);
    }

    QPainter painter(this);
    const QColor back = window_->palette().color(QPalette::Window);
    // Rectangle by rectangle: a plain rectangle as the clip keeps Qt's fills
    // and copies on their fast paths (a clip of many rectangles sends them
    // through spans, and large ones through a thread pool). Whatever such a
    // rectangle covers beyond the region is drawn as it stands.
    for (const QRect& area : joinedAreas(region)) {
        painter.resetTransform();
        painter.setClipRect(area);
        painter.fillRect(area, back);
        for (QWidget* widget : behind) {
            const QRect place = widget->geometry();
            const QRect part = place & area;
            if (part.isEmpty())
                continue;
            // The controls have no meta-object of their own: told apart by type.
            if (const auto* control = dynamic_cast<const Control*>(widget)) {
                painter.setTransform(QTransform::fromTranslate(place.x(), place.y()));
                painter.setClipRect(part.translated(-place.topLeft()));
                control->paintOn(painter);
            } else {
                painter.resetTransform();
                painter.setClipRect(part);
                widget->render(&painter, place.topLeft(), QRegion(part.translated(-place.topLeft())),
                               QWidget::DrawChildren);
            }
        }
    }
}
