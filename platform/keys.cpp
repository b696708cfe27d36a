#include "platform/keys.h"

#include <QKeyEvent>

namespace {
bool g_mainRowDigits = false;

// XKB keysyms of the keypad: its digits with NumLock on, and with NumLock
// off the key printed under each digit (KP_Insert ... KP_Prior). X11 and
// Wayland both report them, whether or not Qt flags the key as a keypad key.
constexpr quint32 kKeysymKp0 = 0xffb0;
constexpr quint32 kKeysymKp9 = 0xffb9;
constexpr quint32 kKeysymsNumLockOff[10] = {
    0xff9e,  // KP_Insert
    0xff9c,  // KP_End
    0xff99,  // KP_Down
    0xff9b,  // KP_Next
    0xff96,  // KP_Left
    0xff9d,  // KP_Begin
    0xff98,  // KP_Right
    0xff95,  // KP_Home
    0xff97,  // KP_Up
    0xff9a,  // KP_Prior
};

// The keypad's other keys that a screen may ask for, by keysym.
constexpr quint32 kKeysymKpEnter = 0xff8d;
constexpr quint32 kKeysymKpDelete = 0xff9f;     // the decimal point with NumLock off
constexpr quint32 kKeysymKpSeparator = 0xffac;  // the decimal point of a comma layout
constexpr quint32 kKeysymKpSubtract = 0xffad;
constexpr quint32 kKeysymKpDecimal = 0xffae;

int keypadKeyOfKeysym(quint32 keysym)
{
    switch (keysym) {
    case kKeysymKpEnter: return vk::Return;
    case kKeysymKpDelete:
    case kKeysymKpSeparator:
    case kKeysymKpDecimal: return vk::Decimal;
    case kKeysymKpSubtract: return vk::Subtract;
    default: return vk::None;
    }
}

// The keypad digit of a keysym, or -1 for a key off the keypad.
int keypadDigitOfKeysym(quint32 keysym)
{
    if (keysym >= kKeysymKp0 && keysym <= kKeysymKp9)
        return static_cast<int>(keysym - kKeysymKp0);
    for (int digit = 0; digit < 10; ++digit)
        if (kKeysymsNumLockOff[digit] == keysym)
            return digit;
    return -1;
}

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
    // The key's own keysym decides where the window system gives one;
    // Qt's keypad flag is missing on some (Wayland), and only stands in
    // where there is no keysym (synthetic events).
    if (const quint32 keysym = event->nativeVirtualKey(); keysym != 0) {
        if (const int digit = keypadDigitOfKeysym(keysym); digit >= 0)
            return vk::Numpad0 + digit;
        if (const int code = keypadKeyOfKeysym(keysym); code != vk::None)
            return code;
    }
    const int key = event->key();
    const bool keypad = event->nativeVirtualKey() == 0 && event->modifiers().testFlag(Qt::KeypadModifier);
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const bool asKeypad = keypad || g_mainRowDigits;
        return (asKeypad ? vk::Numpad0 : vk::Digit0) + (key - Qt::Key_0);
    }
    if (keypad) {
        switch (key) {
        case Qt::Key_Enter:
        case Qt::Key_Return: return vk::Return;
        case Qt::Key_Period:
        case Qt::Key_Comma:
        case Qt::Key_Delete: return vk::Decimal;
        case Qt::Key_Minus: return vk::Subtract;
        default: break;
        }
        const int digit = keypadDigitOfNavigationKey(key);
        return digit >= 0 ? vk::Numpad0 + digit : vk::None;
    }
    // Only the real Page Up / Page Down keys scroll; on the keypad they
    // are 9 and 3.
    switch (key) {
    case Qt::Key_Escape: return vk::Escape;
    case Qt::Key_Backspace: return vk::Back;
    case Qt::Key_Enter:
    case Qt::Key_Return: return vk::Return;
    // The point above the letters stands in for the keypad's with the digits.
    case Qt::Key_Period: return g_mainRowDigits ? vk::Decimal : vk::None;
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
