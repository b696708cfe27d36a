#pragma once
// Keyboards without a keypad: a digit above the letters pressed on the
// title screen, while only the keypad counts, asks once whether to play
// with those digits. The answer is remembered either way; --keypad-only or
// --main-row-digits on the command line lets the question come again.

// Whether the question was answered before (from the settings file).
void setMainRowQuestionAnswered(bool answered);

// On a main-row digit at the title: asks unless answered or the digits
// count already. OK turns them on for this and later starts.
void offerMainRowDigits();
