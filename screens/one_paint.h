#pragma once
// A key that changes several controls at once goes to the window system as
// one painted rectangle round all of them. Left to itself Qt sends each
// changed control's rectangle on its own: some twenty pieces for one hit on
// the play screen, each a request and a damage event for the X server.
#include <QRect>
#include <QWidget>

class OnePaint : public QWidget {
public:
    // Lies over the whole window, in front of every control; it draws
    // nothing and lets clicks through.
    explicit OnePaint(QWidget* window);
    // The window's next paint covers `area` whole, whatever changed in it.
    void gather(const QRect& area);

protected:
    void paintEvent(QPaintEvent* event) override;
};
