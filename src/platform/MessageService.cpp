#include "MessageService.h"

void MessageService::notice(QWidget *parent, const QString &text)
{
    show(parent, {AppTitle, text, MsgIcon::None, MsgButtons::Ok});
}

void MessageService::error(QWidget *parent, const QString &text)
{
    show(parent, {AppTitle, text, MsgIcon::Error, MsgButtons::Ok});
}

bool MessageService::confirm(QWidget *parent, const QString &text)
{
    return show(parent, {QStringLiteral("Information"), text, MsgIcon::Information,
                         MsgButtons::YesNo}) == MsgResult::Yes;
}
