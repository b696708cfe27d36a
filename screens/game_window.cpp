#include "screens/game_window.h"

#include "platform/keys.h"
#include "screens/art.h"
#include "screens/closing.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

QIcon programIcon()
{
    static const QIcon icon(QStringLiteral(":/art/") + QString::fromLatin1(art::Icon));
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
    if (visible && !placed_) {
        // Centred on the first showing; afterwards the window keeps its place.
        placed_ = true;
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect area = screen->availableGeometry();
            move(area.center() - QPoint(width() / 2, height() / 2));
        }
    }
    QWidget::setVisible(visible);
}

void GameWindow::paintEvent(QPaintEvent*)
{
    if (background_ && !background_->isNull()) {
        // Unscaled: the 600 x 380 artwork is cut off at the right and bottom.
        QPainter painter(this);
        painter.drawPixmap(0, 0, background_->pixmap());
    }
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
