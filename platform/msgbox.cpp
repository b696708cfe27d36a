#include "platform/msgbox.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

const char* const kAppTitle = "クェネル";

namespace {
MessageBoxHandler& handlerSlot()
{
    static MessageBoxHandler handler;
    return handler;
}

// The window that asks: the box opens centred over it. Before any window
// is shown (a start-up message) it is centred on the screen.
QWidget* askingWindow()
{
    if (QWidget* active = QApplication::activeWindow())
        return active;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !qobject_cast<QMessageBox*>(w))
            return w;
    }
    return nullptr;
}
}  // namespace

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler)
{
    MessageBoxHandler previous = std::move(handlerSlot());
    handlerSlot() = std::move(handler);
    return previous;
}

MsgResult showRealMessageBox(const MessageRequest& request)
{
    QMessageBox box(request.informationIcon ? QMessageBox::Information : QMessageBox::NoIcon,
                    QString::fromUtf8(kAppTitle), request.text, QMessageBox::NoButton,
                    askingWindow());
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    QPushButton* cancel = nullptr;
    if (request.buttons == MsgButtons::OKCancel) {
        cancel = box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.setDefaultButton(request.cancelIsDefault && cancel ? cancel : ok);
    box.setObjectName(QStringLiteral("quennelMessageBox"));
    box.exec();
    return (cancel && box.clickedButton() == cancel) ? MsgResult::Cancel : MsgResult::OK;
}

MsgResult msgbox(const MessageRequest& request)
{
    if (handlerSlot())
        return handlerSlot()(request);
    return showRealMessageBox(request);
}
