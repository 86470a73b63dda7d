#include "Settings.h"

#include "ProfileData.h"
#include "StoreError.h"

#include <QStringList>

namespace {

QString sectionOf(SettingKey key)
{
    return QString::fromLatin1(settingInfo(key).section);
}

QString nameOf(SettingKey key)
{
    return QString::fromLatin1(settingInfo(key).key);
}

// Keys without a table default (their default depends on the running program)
// read as ""/0/false here; their readers use the overloads that take one.
QString tableDefault(SettingKey key)
{
    const char *def = settingInfo(key).defaultValue;
    return def ? QString::fromLatin1(def) : QString();
}

int tableIntegerDefault(SettingKey key)
{
    return tableDefault(key).toInt();
}

QString pad3(int width)
{
    const int clamped = qBound(0, width, 999);
    return QStringLiteral("%1").arg(clamped, 3, 10, QLatin1Char('0'));
}

// Strict: every character a decimal digit, nothing trimmed, as the positional
// reader of older releases converted each slice.
int sliceToInt(const QString &slice)
{
    bool allDigits = !slice.isEmpty();
    for (QChar c : slice) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            allDigits = false;
            break;
        }
    }
    if (!allDigits)
        throw StoreError::invalidInteger(slice);
    return slice.toInt();
}

} // namespace

bool Settings::flag(SettingKey key) const
{
    return flag(key, tableIntegerDefault(key) != 0);
}

bool Settings::flag(SettingKey key, bool def) const
{
    return m_file.readBool(sectionOf(key), nameOf(key), def);
}

int Settings::integer(SettingKey key) const
{
    return integer(key, tableIntegerDefault(key));
}

int Settings::integer(SettingKey key, int def) const
{
    return m_file.readInteger(sectionOf(key), nameOf(key), def);
}

QString Settings::text(SettingKey key) const
{
    return text(key, tableDefault(key));
}

QString Settings::text(SettingKey key, const QString &def) const
{
    return m_file.readString(sectionOf(key), nameOf(key), def);
}

void Settings::setFlag(SettingKey key, bool value)
{
    m_file.writeBool(sectionOf(key), nameOf(key), value);
}

void Settings::setInteger(SettingKey key, int value)
{
    m_file.writeInteger(sectionOf(key), nameOf(key), value);
}

void Settings::setText(SettingKey key, const QString &value)
{
    m_file.writeString(sectionOf(key), nameOf(key), value);
}

void Settings::setTexts(const std::vector<std::pair<SettingKey, QString>> &values)
{
    m_file.update([&values](ProfileData &data) {
        for (const auto &[key, value] : values)
            data.setValue(sectionOf(key), nameOf(key), value);
    });
}

void Settings::remove(SettingKey key)
{
    m_file.deleteKey(sectionOf(key), nameOf(key));
}

QString Settings::categoryName(int n) const
{
    return m_file.readString(Sections::Category, QString::number(n), QString());
}

void Settings::setCategoryName(int n, const QString &name)
{
    m_file.writeString(Sections::Category, QString::number(n), name);
}

void Settings::removeCategoryName(int n)
{
    m_file.deleteKey(Sections::Category, QString::number(n));
}

namespace ColumnWidths {

QString format(const std::array<int, 5> &widths)
{
    QStringList parts;
    for (int w : widths)
        parts << pad3(w);
    return QLatin1Char('[') + parts.join(QLatin1Char(',')) + QLatin1Char(']');
}

std::array<int, 5> parse(const QString &value)
{
    std::array<int, 5> widths{};
    for (int i = 0; i < 5; ++i)
        widths[i] = sliceToInt(value.mid(1 + 4 * i, 3));
    return widths;
}

QString defaultValue(int dateColumnWidth)
{
    return QStringLiteral("[012,206,") + pad3(dateColumnWidth) + QStringLiteral(",031,012]");
}

} // namespace ColumnWidths
