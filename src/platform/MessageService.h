#pragma once

#include <QString>

class QWidget;

enum class MsgIcon { None, Information, Warning, Error };
enum class MsgButtons { Ok, YesNo, YesCancel };
enum class MsgResult { Ok, Yes, No, Cancel };

struct MessageRequest
{
    QString caption;
    QString text; // "\r" breaks a line, as in the program's message texts
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
};

// Every message box and confirmation of the program goes through here.
class MessageService
{
public:
    virtual ~MessageService() = default;
    virtual MsgResult show(QWidget *parent, const MessageRequest &request) = 0;

    // A notice: one OK button, titled with the application title.
    void notice(QWidget *parent, const QString &text);
    // The general error box of an event handler.
    void error(QWidget *parent, const QString &text);
    // Information icon, Yes and No, titled "Information"; true on Yes.
    bool confirm(QWidget *parent, const QString &text);
};

inline const QString AppTitle = QStringLiteral("Nudgery");
