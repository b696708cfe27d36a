#include "platform/keys.h"

#include <QKeyEvent>

int virtualKeyCode(const QKeyEvent* event)
{
    const int key = event->key();
    const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return (keypad ? vk::Numpad0 : vk::Digit0) + (key - Qt::Key_0);
    // With NumLock off the keypad sends navigation keys; only the real
    // Page Up / Page Down keys (no keypad flag) scroll.
    switch (key) {
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_PageUp: return keypad ? vk::None : vk::PageUp;
    case Qt::Key_PageDown: return keypad ? vk::None : vk::PageDown;
    default: return vk::None;
    }
}
