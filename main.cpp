// クェネル: a numeric-keypad reaction game.
#include "app/startup.h"

int main(int argc, char* argv[])
{
    return runQuennel(argc, argv);
}
