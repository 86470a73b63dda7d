#include "ProfileFile.h"

#include "ProfileData.h"
#include "SaveFile.h"
#include "StoreError.h"

#include <QFile>
#include <QFileInfo>
#include <limits>
#include <optional>

namespace {

int digitValue(QChar c, int base)
{
    const ushort u = c.unicode();
    int d = -1;
    if (u >= '0' && u <= '9')
        d = u - '0';
    else if (u >= 'a' && u <= 'f')
        d = u - 'a' + 10;
    else if (u >= 'A' && u <= 'F')
        d = u - 'A' + 10;
    return d < base ? d : -1;
}

// Decimal with an optional sign, or "$"/"0x" hex as the Windows-era reader also
// took. Hex is read as 32 unsigned bits ("$FFFFFFFF" is -1), decimal must fit an int.
std::optional<int> parseInteger(const QString &raw)
{
    QString s = raw;
    while (!s.isEmpty() && (s.front() == QLatin1Char(' ') || s.front() == QLatin1Char('\t')))
        s.remove(0, 1);
    while (!s.isEmpty() && (s.back() == QLatin1Char(' ') || s.back() == QLatin1Char('\t')))
        s.chop(1);

    qsizetype pos = 0;
    bool negative = false;
    if (pos < s.size() && (s.at(pos) == QLatin1Char('+') || s.at(pos) == QLatin1Char('-'))) {
        negative = s.at(pos) == QLatin1Char('-');
        ++pos;
    }
    int base = 10;
    if (pos < s.size() && s.at(pos) == QLatin1Char('$')) {
        base = 16;
        ++pos;
    } else if (pos + 1 < s.size() && s.at(pos) == QLatin1Char('0') &&
               (s.at(pos + 1) == QLatin1Char('x') || s.at(pos + 1) == QLatin1Char('X'))) {
        base = 16;
        pos += 2;
    }
    if (pos >= s.size())
        return std::nullopt;

    const quint64 limit = base == 16 ? quint64(std::numeric_limits<quint32>::max())
                                     : quint64(std::numeric_limits<int>::max()) + 1;
    quint64 magnitude = 0;
    for (; pos < s.size(); ++pos) {
        const int d = digitValue(s.at(pos), base);
        if (d < 0)
            return std::nullopt;
        magnitude = magnitude * quint64(base) + quint64(d);
        if (magnitude > limit)
            return std::nullopt;
    }

    if (base == 16) {
        const quint32 bits = quint32(magnitude);
        return int(negative ? 0u - bits : bits);
    }
    if (!negative && magnitude > quint64(std::numeric_limits<int>::max()))
        return std::nullopt;
    return negative ? int(-qint64(magnitude)) : int(magnitude);
}

// A file that exists but cannot be read must not be replaced by one holding only
// the new key, so writes refuse it where reads merely see it as empty.
ProfileData loadForWrite(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        throw StoreError::unableToWrite(QFileInfo(path).absoluteFilePath());
    return ProfileData::parse(file.readAll());
}

} // namespace

void ProfileFile::save(const QByteArray &bytes) const
{
    if (m_beforeWrite)
        m_beforeWrite();
    if (!SaveFile::replace(m_path, bytes))
        throw StoreError::unableToWrite(QFileInfo(m_path).absoluteFilePath());
}

ProfileFile::ProfileFile(const QString &path) : m_path(path) {}

QString ProfileFile::readString(const QString &section, const QString &key,
                                const QString &def) const
{
    return ProfileData::load(m_path).value(section, key).value_or(def);
}

int ProfileFile::readInteger(const QString &section, const QString &key, int def) const
{
    return integerIn(ProfileData::load(m_path), section, key, def);
}

int ProfileFile::integerIn(const ProfileData &data, const QString &section, const QString &key,
                           int def)
{
    const std::optional<QString> text = data.value(section, key);
    if (!text)
        return def;
    return parseInteger(*text).value_or(def);
}

bool ProfileFile::readBool(const QString &section, const QString &key, bool def) const
{
    return readInteger(section, key, def ? 1 : 0) != 0;
}

void ProfileFile::writeString(const QString &section, const QString &key, const QString &value)
{
    ProfileData data = loadForWrite(m_path);
    data.setValue(section, key, value);
    save(data.serialize());
}

void ProfileFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void ProfileFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void ProfileFile::deleteKey(const QString &section, const QString &key)
{
    ProfileData data = loadForWrite(m_path);
    const QByteArray before = data.serialize();
    data.removeKey(section, key);
    const QByteArray after = data.serialize();
    if (after != before)
        save(after);
}

ProfileData ProfileFile::read() const
{
    return ProfileData::load(m_path);
}

void ProfileFile::update(const std::function<void(ProfileData &)> &change)
{
    ProfileData data = loadForWrite(m_path);
    const QByteArray before = data.serialize();
    change(data);
    const QByteArray after = data.serialize();
    if (after != before)
        save(after);
}
