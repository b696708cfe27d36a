#pragma once
// The shared frame of the game screens: a fixed 594 x 375 black client area,
// the program icon, an optional background picture drawn unscaled at the
// top-left corner (its right and bottom edges are cut off). To the player
// the game is one window: the very first screen is centred, every later one
// opens exactly where the screen it replaces stands. Every key press
// reaches Form_KeyDown whatever lies under the mouse; the close box asks
// first.
#include "platform/controls.h"

#include <QWidget>
#include <functional>

constexpr int kClientWidthTwips = 8910;
constexpr int kClientHeightTwips = 5625;

class GameWindow : public QWidget {
public:
    explicit GameWindow(QWidget* parent = nullptr);

    void setBackground(const Picture& picture);
    Picture background() const { return background_; }

    // What a key does on this window: set by the part of the game that owns
    // the window, never decided here. A window without it ignores its keys.
    std::function<void(int KeyCode, int Shift)> onKeyDown;
    // A key press: virtual key code and shift state (1 Shift, 2 Ctrl, 4 Alt),
    // handed to onKeyDown.
    void Form_KeyDown(int KeyCode, int Shift);
    // The close box: set Cancel to keep the window open.
    virtual void Form_Unload(int& Cancel);

    void setVisible(bool visible) override;
    // Decodes every picture of the window, the hidden ones too, draws it once
    // off screen and creates its native window, so that the first showing
    // finds artwork, fonts, glyphs and window ready, like a later one.
    void prepareFirstShow();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    Picture background_;
};

// Forgets where the game window stands, so the next screen shown is centred
// again (a new set of windows starts afresh).
void forgetWindowPlace();

// The program icon, the grey spanner.
QIcon programIcon();
