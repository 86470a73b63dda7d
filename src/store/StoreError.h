#pragma once

#include <QString>
#include <stdexcept>

// The one error type of the program: it carries the text the user is shown.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message)
    {
    }
    const QString &message() const { return m_message; }

    // "'%s' is not a valid integer value"
    static StoreError invalidInteger(const QString &text);
    // "Cannot open file "%s". %s"
    static StoreError cannotOpen(const QString &path, const QString &reason);
    // "Cannot create file "%s". %s"
    static StoreError cannotCreate(const QString &path, const QString &reason);
    // "Unable to write to %s"
    static StoreError unableToWrite(const QString &path);

private:
    QString m_message;
};
