// クェネル: a numeric-keypad reaction game.
#include "app/startup.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    return runGame(app);
}
