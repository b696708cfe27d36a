#include "screens/game_window.h"

#include "platform/keys.h"
#include "screens/art.h"
#include "screens/closing.h"

#include <QBackingStore>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

namespace {
// Top-left corner of the client area of the game screen the player sees
// now, once one has been shown. The client area, not the frame: a window
// not yet mapped does not know its frame, and one placed by its frame
// lands a title bar off under a window manager. All screens share one
// frame, so the same client place is the same frame place.
bool g_placeKnown = false;
QPoint g_place;
}  // namespace

void forgetWindowPlace()
{
    g_placeKnown = false;
}

QIcon programIcon()
{
    static const QIcon icon(QStringLiteral(":/art/") + QString::fromLatin1(art::kIcon));
    return icon;
}

GameWindow::GameWindow(QWidget* parent) : QWidget(parent)
{
    setFixedSize(twipsToPixels(kClientWidthTwips), twipsToPixels(kClientHeightTwips));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::black);
    pal.setColor(QPalette::WindowText, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setWindowIcon(programIcon());
    setFocusPolicy(Qt::StrongFocus);
}

void GameWindow::setBackground(const Picture& picture)
{
    background_ = picture;
    update();
}

void GameWindow::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        // A screen opens where the one it replaces stands (it is still shown
        // at this moment), so the game never jumps about. Only the very first
        // screen, or one whose place has left every monitor, is centred.
        if (g_placeKnown && QGuiApplication::screenAt(g_place)) {
            setGeometry(QRect(g_place, size()));
        } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
        g_place = geometry().topLeft();
        g_placeKnown = true;
    }
    QWidget::setVisible(visible);
}

void GameWindow::moveEvent(QMoveEvent* event)
{
    QWidget::moveEvent(event);
    // The player dragged the screen (or the window manager placed it).
    if (isVisible()) {
        g_place = geometry().topLeft();
        g_placeKnown = true;
    }
}

void GameWindow::prepareFirstShow()
{
    const qreal ratio = devicePixelRatio();
    if (background_)
        background_->pixmapFor(ratio);
    // The controls have no meta-object of their own: told apart by their C++ type.
    for (const QWidget* child : findChildren<QWidget*>())
        if (const auto* image = dynamic_cast<const Image*>(child); image && image->picture())
            image->picture()->pixmapFor(ratio);
    grab();
    // The window system's window and its backing store too, made now and
    // mapped when shown.
    winId();
    if (QBackingStore* store = backingStore())
        store->resize(size());
}

void GameWindow::paintEvent(QPaintEvent*)
{
    if (background_ && !background_->isNull()) {
        // Unscaled: the 600 x 380 artwork is cut off at the right and bottom.
        QPainter painter(this);
        drawPicture(painter, 0, 0, *background_);
    }
}

void GameWindow::Form_KeyDown(int KeyCode, int Shift)
{
    if (onKeyDown)
        onKeyDown(KeyCode, Shift);
}

void GameWindow::keyPressEvent(QKeyEvent* event)
{
    int shift = 0;
    if (event->modifiers() & Qt::ShiftModifier) shift |= 1;
    if (event->modifiers() & Qt::ControlModifier) shift |= 2;
    if (event->modifiers() & Qt::AltModifier) shift |= 4;
    event->accept();
    Form_KeyDown(virtualKeyCode(event), shift);
}

void GameWindow::closeEvent(QCloseEvent* event)
{
    int cancel = 0;
    Form_Unload(cancel);
    if (cancel)
        event->ignore();
    else
        event->accept();
}

void GameWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // The next keypad press must reach the screen without a click.
    raise();
    activateWindow();
    setFocus(Qt::OtherFocusReason);
}
