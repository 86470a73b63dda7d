#pragma once

#include "MessageService.h"

#include <functional>

class QWidget;

// Runs an event handler; an error inside it is shown in the general error box and
// the rest of the handler is skipped. Returns false when the handler failed.
bool runGuarded(MessageService &messages, QWidget *parent, const std::function<void()> &handler);
