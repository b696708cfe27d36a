#pragma once
// One widget that draws all the controls of its window, in their stacking
// order, in a single paint. It lies in front of them, covers the whole
// window and lets clicks through, so the controls keep their places, their
// order and their clicks; Qt draws none of them on its own any more (it
// skips widgets that an opaque one hides), so they tell the canvas what to
// draw again. A key that changes a dozen controls then costs a paint or
// two, and the window system receives each as one rectangle.
// For windows without a background picture: behind the controls it fills
// the window's own back colour.
#include <QRegion>
#include <QWidget>

class ControlCanvas : public QWidget {
public:
    // Covers `window`; made last, so it lies in front of every control.
    explicit ControlCanvas(QWidget* window);
    ~ControlCanvas() override;

    // A control at `area` must be drawn again.
    void redrawArea(const QRect& area);
    // Draws `area` and sends it to the window system in one piece, at once.
    void flushTogether(const QRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void settleHandedPixels(const QRect& handed);

    QWidget* window_;
    bool settlePending_ = false;
};

// The canvas that draws the controls of `window`, if it has one.
ControlCanvas* controlCanvas(const QWidget* window);
