#include "StoreError.h"

StoreError StoreError::invalidInteger(const QString &text)
{
    return StoreError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

StoreError StoreError::cannotOpen(const QString &path, const QString &reason)
{
    return StoreError(QStringLiteral("Cannot open file \"%1\". %2").arg(path, reason));
}

StoreError StoreError::cannotCreate(const QString &path, const QString &reason)
{
    return StoreError(QStringLiteral("Cannot create file \"%1\". %2").arg(path, reason));
}

StoreError StoreError::unableToWrite(const QString &path)
{
    return StoreError(QStringLiteral("Unable to write to %1").arg(path));
}
