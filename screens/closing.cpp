#include "screens/closing.h"

#include "platform/msgbox.h"
#include "platform/system.h"
#include "screens/game_window.h"
#include "screens/score_saving.h"
#include "screens/history_notices.h"

bool ask_end(bool cancel_default)
{
    MessageRequest request;
    request.text = QString::fromUtf8("クェネルを終了します。");
    request.buttons = MsgButtons::OKCancel;
    request.cancelIsDefault = cancel_default;
    return msgbox(request) == MsgResult::OK;
}

void quitByKey()
{
    if (ask_end(true)) {
        saveHeldHighScores();
        finishHistory();
        endProgram(0);
    }
}

// Closing any game screen asks the same question, with OK as the default;
// OK ends the whole program at once, Cancel keeps the window and play going.
void GameWindow::Form_Unload(int& Cancel)
{
    if (ask_end(false)) {
        saveHeldHighScores();
        finishHistory();
        endProgram(0);
        return;
    }
    Cancel = 1;
}
