#pragma once
// The announcer's deck of random phrases and its four-line box.
#include <QString>

// Puts every phrase of the master list back into the announcer's deck.
void refillPhraseDeck();

// The four lines of the commentary box, CR LF between them.
QString commentaryBox();
