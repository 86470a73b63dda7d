#include "DbusNotificationService.h"

#include "AppIcon.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QImage>
#include <QPixmap>

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
const QString DefaultAction = QStringLiteral("default");
const QString DesktopEntry = QStringLiteral("example.nudgery.Nudgery");

// The "image-data" hint: raw RGBA rows, the form every server reads without an
// icon theme (an installed copy's theme icon may not exist for a portable one).
struct ImageData
{
    QImage image;
};

QDBusArgument &operator<<(QDBusArgument &arg, const ImageData &data)
{
    const QImage &i = data.image;
    arg.beginStructure();
    arg << i.width() << i.height() << int(i.bytesPerLine()) << i.hasAlphaChannel() << 8 << 4
        << QByteArray(reinterpret_cast<const char *>(i.constBits()), int(i.sizeInBytes()));
    arg.endStructure();
    return arg;
}

const QDBusArgument &operator>>(const QDBusArgument &arg, ImageData &)
{
    return arg; // never received
}

} // namespace

Q_DECLARE_METATYPE(ImageData)

namespace {

QVariant iconHint()
{
    static const QImage icon =
        appIcon().pixmap(64, 64).toImage().convertToFormat(QImage::Format_RGBA8888);
    return QVariant::fromValue(ImageData{icon});
}

} // namespace

DbusNotificationService::DbusNotificationService(QObject *parent) : QObject(parent)
{
    qDBusRegisterMetaType<ImageData>();
}

bool DbusNotificationService::listen()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    if (!m_listening) {
        bus.connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                    SLOT(actionInvoked(uint, QString)));
        bus.connect(Service, Path, Interface, QStringLiteral("NotificationClosed"), this,
                    SLOT(notificationClosed(uint, uint)));
        m_listening = true;
    }
    return true;
}

void DbusNotificationService::notify(const QString &summary, const QString &body, Urgency urgency,
                                     const QString &actionLabel, std::function<void()> activated)
{
    if (!listen())
        return;
    QDBusMessage call =
        QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"),
                 QVariant::fromValue(uchar(urgency == Urgency::Critical ? 2 : 1)));
    // The desktop entry's name without ".desktop": desktops find the icon and group
    // the notifications by it.
    hints.insert(QStringLiteral("desktop-entry"), DesktopEntry);
    hints.insert(QStringLiteral("image-data"), iconHint());
    // Servers read the body as markup: a task's "<" or "&" must stay text.
    call << QCoreApplication::applicationName() << uint(0) << QStringLiteral("nudgery") << summary
         << body.toHtmlEscaped() << QStringList{DefaultAction, actionLabel} << hints << int(-1);

    auto *watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, activated = std::move(activated)](QDBusPendingCallWatcher *w) {
                const QDBusPendingReply<uint> reply = *w;
                if (!reply.isError())
                    m_onActivated.insert(reply.value(), activated);
                w->deleteLater();
            });
}

void DbusNotificationService::actionInvoked(uint id, const QString &action)
{
    const auto found = m_onActivated.constFind(id);
    if (action == DefaultAction && found != m_onActivated.constEnd() && *found)
        (*found)();
}

void DbusNotificationService::notificationClosed(uint id, uint)
{
    m_onActivated.remove(id);
}
