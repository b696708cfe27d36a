#include "state/module1.h"

GameState Module1;

void resetModule1()
{
    Module1 = GameState{};
}
