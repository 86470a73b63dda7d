#include "SyncAccount.h"

#include "DavClient.h"
#include "store/Settings.h"

SyncAccount SyncAccount::read(const Settings &settings)
{
    SyncAccount a;
    a.calendar = QUrl(settings.text(SettingKey::SyncCalendar));
    a.user = settings.text(SettingKey::SyncUser);
    a.enabled = settings.flag(SettingKey::SyncEnabled);
    a.trustedCertificate = settings.text(SettingKey::SyncTrustedCertificate).toLatin1();
    a.plainHttpHost = settings.text(SettingKey::SyncPlainHttpHost);
    return a;
}

void SyncAccount::write(Settings &settings) const
{
    settings.setText(SettingKey::SyncCalendar, calendar.toString(QUrl::RemoveUserInfo));
    settings.setText(SettingKey::SyncUser, user);
    settings.setFlag(SettingKey::SyncEnabled, enabled);
    const auto textOrNone = [&settings](SettingKey key, const QString &value) {
        if (value.isEmpty())
            settings.remove(key);
        else
            settings.setText(key, value);
    };
    textOrNone(SettingKey::SyncTrustedCertificate, QString::fromLatin1(trustedCertificate));
    textOrNone(SettingKey::SyncPlainHttpHost, plainHttpHost);
}

QString SyncAccount::secretKey() const
{
    const int port = calendar.port(calendar.scheme() == QLatin1String("https") ? 443 : 80);
    return QStringLiteral("%1@%2://%3:%4").arg(user, calendar.scheme(), calendar.host()).arg(port);
}

bool SyncAccount::needsPlainHttpConsent() const
{
    return !user.isEmpty() && calendar.scheme() == QLatin1String("http") &&
           !DavClient::isLoopback(calendar) &&
           plainHttpHost.compare(calendar.host(), Qt::CaseInsensitive) != 0;
}

void SyncAccount::applyTo(DavClient &client, const QString &password) const
{
    client.setCredentials(user, password);
    client.setTrustedCertificate(trustedCertificate);
    client.setPlainHttpAllowed(!needsPlainHttpConsent());
}
