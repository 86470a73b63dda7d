#include "KeychainSecretStore.h"

#include <qt6keychain/keychain.h>

namespace {

void run(QKeychain::Job *job, QObject *context, std::function<void(QKeychain::Job *)> whenDone)
{
    job->setAutoDelete(true);
    // No plain-text fallback: without a secret store the password is not kept.
    job->setInsecureFallback(false);
    QObject::connect(job, &QKeychain::Job::finished, context,
                     [whenDone](QKeychain::Job *j) { whenDone(j); });
    job->start();
}

SecretStore::Answer answerOf(QKeychain::Job *job)
{
    SecretStore::Answer a;
    a.ok = job->error() == QKeychain::NoError;
    a.missing = job->error() == QKeychain::EntryNotFound;
    if (!a.ok && !a.missing)
        a.error = job->errorString();
    return a;
}

} // namespace

QString KeychainSecretStore::service()
{
    return QStringLiteral("Nudgery CalDAV");
}

void KeychainSecretStore::read(const QString &key, Done done)
{
    auto *job = new QKeychain::ReadPasswordJob(service());
    job->setKey(key);
    run(job, this, [done](QKeychain::Job *j) {
        SecretStore::Answer a = answerOf(j);
        if (a.ok)
            a.secret = static_cast<QKeychain::ReadPasswordJob *>(j)->textData();
        done(a);
    });
}

void KeychainSecretStore::write(const QString &key, const QString &secret, Done done)
{
    auto *job = new QKeychain::WritePasswordJob(service());
    job->setKey(key);
    job->setTextData(secret);
    run(job, this, [done](QKeychain::Job *j) { done(answerOf(j)); });
}

void KeychainSecretStore::remove(const QString &key, Done done)
{
    auto *job = new QKeychain::DeletePasswordJob(service());
    job->setKey(key);
    run(job, this, [done](QKeychain::Job *j) { done(answerOf(j)); });
}
