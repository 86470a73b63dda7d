#pragma once

#include "MessageService.h"

// Message boxes on screen, through QMessageBox.
class QtMessageService : public MessageService
{
public:
    MsgResult show(QWidget *parent, const MessageRequest &request) override;
};
