#pragma once
// The handful of controls the game's windows are built from, positioned in
// twips (15 to a pixel at 96 dpi) so the layout code reads like the design
// tables. Text sizes are given in points and set in pixels (pt x 4/3), so the
// layout never depends on the screen's dpi.
#include <QColor>
#include <QPixmap>
#include <QString>
#include <QWidget>

class QTextLayout;
#include <functional>
#include <memory>

constexpr int kTwipsPerPixel = 15;
inline int twipsToPixels(double twips) { return qRound(twips / kTwipsPerPixel); }

// A picture held by the program. The artwork is decoded when it is first
// drawn (its size is read from the file's header when first asked), so
// start-up does not pay for pictures of screens the player has not reached
// yet.
// On a screen of 1.5 device pixels or more to a pixel, artwork that has a
// twice-as-large version ("name@2x.jpg" beside "name.jpg") is drawn from
// that one instead; its size in pixels stays that of the plain picture.
class QPainter;

class PictureData {
public:
    explicit PictureData(const QPixmap& pixmap);
    explicit PictureData(const QString& path);  // decoded on first use
    // The plain picture, one pixel to a pixel.
    const QPixmap& pixmap() const;
    // The version that suits a device of that pixel ratio (its own
    // devicePixelRatio says which one it is).
    const QPixmap& pixmapFor(qreal devicePixelRatio) const;
    QSize size() const;
    int width() const { return size().width(); }
    int height() const { return size().height(); }
    bool isNull() const { return size().isEmpty(); }
    QImage toImage() const { return pixmap().toImage(); }

private:
    mutable QPixmap pixmap_;
    mutable bool decoded_ = false;
    mutable QPixmap large_;  // the @Nx version, once a dense screen wanted it
    mutable qreal largeRatio_ = 0;  // 0: not looked for yet; 1: there is none
    QString path_;
    mutable QSize size_;
    mutable bool sized_ = false;
};

// Draws a picture at its own size in pixels with its top-left corner at
// (x, y), from the version that suits the painter's device. A picture with
// fewer pixels than the device needs is scaled smoothly, never blockily.
void drawPicture(QPainter& painter, int x, int y, const PictureData& picture);

// A picture shared between controls. Assigning one control's picture to
// another shares the same object, so pictures can be told apart by identity.
using Picture = std::shared_ptr<const PictureData>;
Picture makePicture(const QPixmap& pixmap);
// A picture of the program's own artwork (a Qt resource under :/art).
Picture artPicture(const QString& name);
// Where the program's own picture of that name is kept.
QString artPath(const QString& name);

// The game's text face: "ＭＳ Ｐ明朝" where installed, otherwise IPAPMincho.
QStringList gameFontFamilies();
QFont gameFont(double points);

// Base of all controls: a child widget placed in twips. Controls never take
// the keyboard focus, so every key reaches the window's own handler.
class Control : public QWidget {
public:
    explicit Control(QWidget* parent);
    void setRect(double left, double top, double width, double height);
    void setLeft(double twips);
    void setTop(double twips);
    double left() const { return left_; }
    double top() const { return top_; }
    double width() const { return width_; }
    double height() const { return height_; }
    // Draws the control in its own coordinates, clipped to its rectangle by
    // the caller: what its paint event draws, so that one widget can draw a
    // whole window's controls in a single paint (ControlCanvas).
    virtual void paintOn(QPainter& painter) const = 0;
    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Asks for the control to be drawn again, by the window's canvas if it has one.
    void redraw();
    void applyGeometry();
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

class Label : public Control {
public:
    enum class Align { Left, Right, Center };
    explicit Label(QWidget* parent);

    QString caption() const { return caption_; }
    void setCaption(const QString& text);
    QColor foreColor() const { return fore_; }
    void setForeColor(const QColor& color);
    QColor backColor() const { return back_; }
    void setBackColor(const QColor& color);
    bool isTransparent() const { return transparent_; }
    void setTransparent(bool transparent);
    bool hasBorder() const { return border_; }
    void setBorder(bool border);
    Align alignment() const { return align_; }
    void setAlignment(Align align);
    double fontPoints() const { return points_; }
    void setFontPoints(double points);
    // One text line in pixels: the font's pixel height.
    int lineHeight() const;
    void paintOn(QPainter& painter) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Draws the label as it looks, text laid out and all.
    void drawLook(QPainter& painter) const;
    // An opaque label's look drawn once, one device pixel to a pixel, from
    // the looks shared by every label (digits come back again and again).
    const QImage& look() const;
    void dropLook();
    QFont fittedFont(const QString& text, int available) const;
    // The caption laid out for the current size, shared with every label
    // showing the same text in the same font and size.
    const QTextLayout& textLayout(const QRect& textRect) const;
    void dropLayout();
    void markOpaque();
    mutable std::shared_ptr<const QTextLayout> layout_;
    mutable std::shared_ptr<const QImage> look_;
    QString fontKey_;
    QString caption_;
    QColor fore_{Qt::white};
    QColor back_{Qt::black};
    bool transparent_ = false;
    bool border_ = false;
    Align align_ = Align::Left;
    double points_ = 9;
};

// Shows a picture at its own size, unstretched. Given a picture it takes
// the picture's size and keeps its top-left corner.
class Image : public Control {
public:
    explicit Image(QWidget* parent);
    Picture picture() const { return picture_; }
    void setPicture(const Picture& picture);
    bool hasBorder() const { return border_; }
    void setBorder(bool border);
    std::function<void()> onClick;
    void paintOn(QPainter& painter) const override;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    Picture picture_;
    bool border_ = false;
};

// An unfilled rectangle; it never takes clicks.
class Shape : public Control {
public:
    explicit Shape(QWidget* parent);
    QColor borderColor() const { return color_; }
    void setBorderColor(const QColor& color);
    int borderWidth() const { return borderPixels_; }
    void setBorderWidth(int pixels);
    void paintOn(QPainter& painter) const override;

private:
    QColor color_{Qt::black};
    int borderPixels_ = 1;
};

// A level or upright line between two points in twips; it never takes clicks.
class Line : public Control {
public:
    explicit Line(QWidget* parent);
    void setPoints(double x1, double y1, double x2, double y2);
    double x1() const { return x1_; }
    double y1() const { return y1_; }
    double x2() const { return x2_; }
    double y2() const { return y2_; }
    QColor color() const { return color_; }
    void setColor(const QColor& color);
    int lineWidth() const { return pixels_; }
    void setLineWidth(int pixels);
    void paintOn(QPainter& painter) const override;

private:
    void place();
    double x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
    QColor color_{Qt::white};
    int pixels_ = 1;
};

// A hidden holder of a picture (the picture store's boxes).
struct PictureBox {
    Picture picture;
};
