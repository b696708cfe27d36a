#pragma once
// One widget that draws all the controls of its window, in their stacking
// order, in a single paint. It lies in front of them, covers the whole
// window and lets clicks through, so the controls keep their places, their
// order and their clicks; Qt draws none of them on its own any more. A key
// that changes a dozen controls then costs one paint, and the window
// system receives the changed area as one rectangle (update(rect) round
// what changed) instead of one per control.
// For windows without a background picture: behind the controls it fills
// the window's own back colour.
#include <QWidget>

class ControlCanvas : public QWidget {
public:
    // Covers `window`; made last, so it lies in front of every control.
    explicit ControlCanvas(QWidget* window);
    ~ControlCanvas() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* window_;
};
