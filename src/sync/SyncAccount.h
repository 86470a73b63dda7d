#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

class DavClient;
class Settings;

// The CalDAV account as the settings file keeps it ([Sync]); the password is in
// the desktop's secret store under secretKey(), never in the file.
struct SyncAccount
{
    QUrl calendar;
    QString user;
    bool enabled = false;
    QByteArray trustedCertificate; // SHA-256, hex
    QString plainHttpHost;         // the password may go there over plain http

    static SyncAccount read(const Settings &settings);
    void write(Settings &settings) const;

    bool configured() const { return calendar.isValid() && !calendar.isEmpty(); }
    // "user@scheme://host:port": one password per user and server, whichever calendar.
    QString secretKey() const;
    // Whether a password would go over plain http to another machine unasked.
    bool needsPlainHttpConsent() const;
    void applyTo(DavClient &client, const QString &password) const;
};
