#pragma once
// Virtual key codes as the game's screens know them. A key of the numeric
// keypad counts as its digit whatever the NumLock state, told by its keysym
// on X11 and Wayland alike; the main keyboard's digits are 48..57 and act
// nowhere unless the player asked for them (keyboards without a keypad).
class QKeyEvent;

namespace vk {
// Plain enumerators: handlers receive and compare the codes as int.
enum Code : int {
    None = 0,
    Back = 8,       // BackSpace
    Return = 13,    // Enter, the keypad's and the main keyboard's alike
    Escape = 27,
    PageUp = 33,
    PageDown = 34,
    Digit0 = 48,
    Numpad0 = 96,
    Numpad1 = 97,
    Numpad2 = 98,
    Numpad3 = 99,
    Numpad4 = 100,
    Numpad5 = 101,
    Numpad6 = 102,
    Numpad7 = 103,
    Numpad8 = 104,
    Numpad9 = 105,
    Subtract = 109,  // the keypad's -
    Decimal = 110,   // the keypad's decimal point (Del with NumLock off)
};
}  // namespace vk

// Maps a Qt key event to its virtual key code, or vk::None for keys the
// game never looks at.
int virtualKeyCode(const QKeyEvent* event);

// With this on, the digits above the letters count as keypad digits on
// every screen. Off by default: the game trains the keypad.
void setMainRowDigits(bool on);
bool mainRowDigits();
