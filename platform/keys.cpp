#include "platform/keys.h"

#include <QKeyEvent>

namespace {
bool g_mainRowDigits = false;

// With NumLock off the keypad sends the navigation key printed under each
// digit, still flagged as a keypad key.
int keypadDigitOfNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Insert: return 0;
    case Qt::Key_End: return 1;
    case Qt::Key_Down: return 2;
    case Qt::Key_PageDown: return 3;
    case Qt::Key_Left: return 4;
    case Qt::Key_Clear: return 5;
    case Qt::Key_Right: return 6;
    case Qt::Key_Home: return 7;
    case Qt::Key_Up: return 8;
    case Qt::Key_PageUp: return 9;
    default: return -1;
    }
}
}  // namespace

int virtualKeyCode(const QKeyEvent* event)
{
    const int key = event->key();
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const bool asKeypad = keypad || g_mainRowDigits;
        return (asKeypad ? vk::Numpad0 : vk::Digit0) + (key - Qt::Key_0);
    }
    if (keypad) {
        const int digit = keypadDigitOfNavigationKey(key);
        return digit >= 0 ? vk::Numpad0 + digit : vk::None;
    }
    // Only the real Page Up / Page Down keys scroll; on the keypad they
    // are 9 and 3.
    switch (key) {
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_PageUp: return vk::PageUp;
    case Qt::Key_PageDown: return vk::PageDown;
    default: return vk::None;
    }
}

void setMainRowDigits(bool on)
{
    g_mainRowDigits = on;
}

bool mainRowDigits()
{
    return g_mainRowDigits;
}
