#pragma once
// Virtual key codes as the game's screens know them. The numeric keypad
// sends 96..105 only while NumLock is on; the main keyboard's digits are
// 48..57 and act nowhere.
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
