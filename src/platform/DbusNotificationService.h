#pragma once

#include "NotificationService.h"

#include <QHash>
#include <QObject>

// The freedesktop notification service (org.freedesktop.Notifications) on the
// session bus. Calls are asynchronous, so a slow or missing service never holds
// up the program; their failures are dropped.
class DbusNotificationService : public QObject, public NotificationService
{
    Q_OBJECT
public:
    explicit DbusNotificationService(QObject *parent = nullptr);
    void notify(const QString &summary, const QString &body, Urgency urgency,
                const QString &actionLabel, std::function<void()> activated) override;

private slots:
    // Slots by name: Qt D-Bus connects bus signals only this way.
    void actionInvoked(uint id, const QString &action);
    void notificationClosed(uint id, uint reason);

private:
    bool listen();

    bool m_listening = false;
    // What each notification still on screen runs when it is picked.
    QHash<uint, std::function<void()>> m_onActivated;
};
