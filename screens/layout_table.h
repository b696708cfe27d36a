#pragma once
// Tables of the windows' controls: one row per control, built by a loop,
// so each layout file reads as a plain list of the window's controls.
// Positions and sizes in twips, colours as 0xRRGGBB, text sizes in points.
#include "platform/controls.h"

#include <QColor>
#include <QString>

namespace layout {

using Align = Label::Align;

// The caption the screens are designed with; start-up puts the game data's
// caption in its place.
inline constexpr char kDesignCaption[] = "クェネル 2001.8.18";

struct LabelRow {
    int index;                // element of the control array (0 for a single label)
    double left, top, width, height;
    QRgb fore;
    double points;
    Align align;
    const char* caption;      // UTF-8
    bool transparent;
    bool border;
    QRgb back = 0x000000;
};

inline Label* makeLabel(QWidget* parent, const LabelRow& row)
{
    auto* label = new Label(parent);
    label->setRect(row.left, row.top, row.width, row.height);
    label->setForeColor(QColor(row.fore));
    label->setBackColor(QColor(row.back));
    label->setTransparent(row.transparent);
    label->setBorder(row.border);
    label->setAlignment(row.align);
    label->setFontPoints(row.points);
    label->setCaption(QString::fromUtf8(row.caption));
    return label;
}

// An image at its design rectangle with its design picture, if any. A picture
// that is present sets the control's size; a missing one leaves the design size.
inline Image* makeImage(QWidget* parent, double left, double top, double width, double height,
                        const QString& art = QString())
{
    auto* image = new Image(parent);
    image->setRect(left, top, width, height);
    if (!art.isEmpty())
        image->setPicture(artPicture(art));
    return image;
}

}  // namespace layout
