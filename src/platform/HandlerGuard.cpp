#include "HandlerGuard.h"

#include "store/StoreError.h"

#include <QWidget>
#include <exception>

bool runGuarded(MessageService &messages, QWidget *parent, const std::function<void()> &handler)
{
    try {
        handler();
        return true;
    } catch (const StoreError &e) {
        messages.error(parent, e.message());
    } catch (const std::exception &e) {
        messages.error(parent, QString::fromLocal8Bit(e.what()));
    }
    return false;
}

bool runGuardedIn(MessageService &messages, QWidget *window, const std::function<void()> &handler)
{
    return runGuarded(messages, window && window->isVisible() ? window : nullptr, handler);
}
