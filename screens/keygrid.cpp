// Drawing one slot of the target queue into the key grid.
#include "screens/forms.h"
#include "state/module1.h"

// Row i shows queue slot i: the digit stands in the cell of its keypad column
// (3-6-9 right, 1-4-7 left, 2-5-8 middle), coloured by its keypad row and by
// how far down the queue it is. The callers clear the cells no slot uses.
int Form3::keyCell(int i)
{
    if (i < 0 || i >= kKeyRows)
        return -1;
    const int d = Module1.KeyQueue[i];
    // Start-up only accepts key ranges 1..9; anything else has no cell.
    if (d < 1 || d > 9)
        return -1;
    return i + (d % 3) * kKeyRows;
}

void Form3::n_print(int i)
{
    const int c = keyCell(i);
    if (c < 0)
        return;
    const int d = Module1.KeyQueue[i];
    const int group = (d - 1) / 3;
    Label* cell = Label1(c);
    cell->setCaption(QString::number(d));
    cell->setForeColor(Module1.KeyColors[group][i]);
}
