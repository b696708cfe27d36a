#pragma once
// The game's message box: a text, OK or OK + Cancel, a chosen default
// button, an optional information icon, and always the caption "クェネル".
// Tests answer it through setMessageBoxHandler instead of a person.
#include <QString>
#include <functional>

enum class MsgButtons { OK, OKCancel };
enum class MsgResult { OK, Cancel };

struct MessageRequest {
    QString text;
    MsgButtons buttons = MsgButtons::OK;
    bool cancelIsDefault = false;
    bool informationIcon = false;
};

extern const char* const kAppTitle;  // "クェネル"

MsgResult msgbox(const MessageRequest& request);

using MessageBoxHandler = std::function<MsgResult(const MessageRequest&)>;
// Replaces the real dialog (nullptr restores it). Returns the previous handler.
MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);
// The real modal dialog, used when no handler is installed.
MsgResult showRealMessageBox(const MessageRequest& request);
