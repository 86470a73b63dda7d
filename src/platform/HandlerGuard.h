#pragma once

#include "MessageService.h"

#include <functional>

class QWidget;

// Runs an event handler; an error inside it is shown in the general error box and
// the rest of the handler is skipped. Returns false when the handler failed.
bool runGuarded(MessageService &messages, QWidget *parent, const std::function<void()> &handler);

// The same for a handler of window: the box belongs to the window while it is
// shown; a hidden one (in the tray, not shown yet) lends it no parent, so it comes
// up on its own.
bool runGuardedIn(MessageService &messages, QWidget *window, const std::function<void()> &handler);
