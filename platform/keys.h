#pragma once
// Virtual key codes as the game's screens know them. A key of the numeric
// keypad counts as its digit whatever the NumLock state; the main
// keyboard's digits are 48..57 and act nowhere unless the player asked for
// them (keyboards without a keypad).
class QKeyEvent;

namespace vk {
constexpr int Escape = 27;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int Digit0 = 48;
constexpr int Numpad0 = 96;
constexpr int Numpad1 = 97;
constexpr int Numpad2 = 98;
constexpr int Numpad3 = 99;
constexpr int Numpad4 = 100;
constexpr int Numpad6 = 102;
constexpr int Numpad9 = 105;
constexpr int None = 0;
}  // namespace vk

// Maps a Qt key event to its virtual key code, or vk::None for keys the
// game never looks at.
int virtualKeyCode(const QKeyEvent* event);

// With this on, the digits above the letters count as keypad digits on
// every screen. Off by default: the game trains the keypad.
void setMainRowDigits(bool on);
bool mainRowDigits();
