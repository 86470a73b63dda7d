#pragma once

#include "SecretStore.h"

#include <QObject>

// The Secret Service (GNOME Keyring, KWallet ...) through QtKeychain, never a
// file of its own: when no store answers, the caller is told so.
class KeychainSecretStore : public QObject, public SecretStore
{
    Q_OBJECT
public:
    explicit KeychainSecretStore(QObject *parent = nullptr) : QObject(parent) {}
    void read(const QString &key, Done done) override;
    void write(const QString &key, const QString &secret, Done done) override;
    void remove(const QString &key, Done done) override;

    // The service name the secrets are kept under.
    static QString service();
};
