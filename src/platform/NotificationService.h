#pragma once

#include <QString>
#include <functional>

// Desktop notifications, sent beside the program's own boxes so that a reminder
// also reaches the desktop's notification list. Sending never fails visibly:
// with no notification service there is simply no notification.
class NotificationService
{
public:
    enum class Urgency { Normal, Critical };

    virtual ~NotificationService() = default;
    // `activated` runs when the user picks the notification's default action,
    // which the desktop may show as `actionLabel`.
    virtual void notify(const QString &summary, const QString &body, Urgency urgency,
                        const QString &actionLabel, std::function<void()> activated) = 0;
};
