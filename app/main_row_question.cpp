#include "app/main_row_question.h"

#include "app/settings.h"
#include "platform/keys.h"
#include "platform/msgbox.h"

#include <cstdio>

namespace {
bool g_answered = false;
}  // namespace

void setMainRowQuestionAnswered(bool answered)
{
    g_answered = answered;
}

void offerMainRowDigits()
{
    if (g_answered || mainRowDigits())
        return;
    MessageRequest request;
    request.text = QString::fromUtf8("テンキーがないキーボードで遊びますか？\r\n英字の上の数字キーで遊べるようにします。");
    request.buttons = MsgButtons::OKCancel;
    const bool on = msgbox(request) == MsgResult::OK;
    g_answered = true;
    setMainRowDigits(on);
    const SettingsFile file = loadSettings();
    if (!rememberMainRowAnswer(file, on)) {
        const QString warning = QString::fromUtf8("quennel: 設定ファイル「%1」に書けないため、この答えは今回だけ使います。\n").arg(file.path);
        std::fputs(warning.toUtf8().constData(), stderr);
    }
}
