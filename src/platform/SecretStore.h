#pragma once

#include <QString>

#include <functional>

// The desktop's secret store (the CalDAV password). Asynchronous: each call
// answers once, on the event loop.
class SecretStore
{
public:
    struct Answer
    {
        bool ok = false;
        bool missing = false; // the store answered: no such secret
        QString secret;
        QString error; // why the store could not be used, in the store's own words
    };
    using Done = std::function<void(const Answer &)>;

    virtual ~SecretStore() = default;
    virtual void read(const QString &key, Done done) = 0;
    virtual void write(const QString &key, const QString &secret, Done done) = 0;
    virtual void remove(const QString &key, Done done) = 0;
};
