#include "CategoryList.h"

#include "store/ProfileData.h"
#include "store/Settings.h"
#include "store/TaskRow.h"
#include "store/Win1252.h"

#include <QHash>

#include <algorithm>

namespace {

QString codePoint(char32_t c)
{
    return QStringLiteral("U+") +
           QString::number(uint(c), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// The whole character at i, a surrogate pair counting as one.
char32_t characterAt(const QString &text, qsizetype i)
{
    const QChar c = text.at(i);
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    return c.unicode();
}

} // namespace

QStringList CategoryList::names() const
{
    const int cats = m_settings.integer(SettingKey::Cats);
    const QList<std::pair<QString, QString>> entries =
        m_settings.file().read().entries(Sections::Category);
    // Key n as the file holds it (the first of a repeated key, as a read finds it).
    QHash<int, QString> byKey;
    int highest = 0;
    for (const auto &[key, value] : entries) {
        bool isNumber = false;
        const int n = key.toInt(&isNumber);
        if (!isNumber || n < 1 || n > cats || QString::number(n) != key || byKey.contains(n))
            continue;
        byKey.insert(n, value);
        highest = std::max(highest, n);
    }
    QStringList out;
    out.reserve(highest);
    for (int k = 1; k <= highest; ++k)
        out << byKey.value(k);
    return out;
}

void CategoryList::store(const QStringList &names, int countBefore)
{
    // One pass over the section for any number of names (an import adds many);
    // the count first where the section lacks it, as a single add writes it.
    QList<std::pair<QString, QString>> values;
    values.reserve(names.size() + 1);
    values.append(
        {QString::fromLatin1(settingInfo(SettingKey::Cats).key), QString::number(names.size())});
    for (int k = 1; k <= names.size(); ++k)
        values.append({QString::number(k), names[k - 1]});
    m_settings.file().update([&](ProfileData &data) {
        data.setValues(Sections::Category, values);
        for (int k = int(names.size()) + 1; k <= countBefore; ++k)
            data.removeKey(Sections::Category, QString::number(k));
    });
}

void CategoryList::add(const QString &name)
{
    const int n = count();
    m_settings.setInteger(SettingKey::Cats, n + 1);
    m_settings.setCategoryName(n + 1, name);
}

void CategoryList::add(const QStringList &names)
{
    if (names.isEmpty())
        return;
    const QStringList before = this->names();
    store(before + names, int(before.size()));
}

bool CategoryList::remove(const QString &name)
{
    QStringList list = names();
    const qsizetype j = list.indexOf(name);
    if (j < 0)
        return false;
    const int before = int(list.size());
    list.removeAt(j);
    store(list, before);
    return true;
}

void CategoryList::insert(int key, const QString &name)
{
    QStringList list = names();
    const int before = int(list.size());
    list.insert(std::clamp<qsizetype>(key - 1, 0, list.size()), name);
    store(list, before);
}

QString CategoryList::refusal(const QString &name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t u = name.at(i).unicode();
        if (u == char16_t(uchar(FieldSeparator)))
            return QStringLiteral(
                       "A category name cannot contain \"%1\": the task file uses it to separate "
                       "the fields of a task.")
                .arg(QLatin1Char(FieldSeparator));
        // A line break would end the settings line that stores the name.
        if (u < 0x20)
            return QStringLiteral("A category name cannot contain the control character %1.")
                .arg(codePoint(u));
    }
    const int bad = Win1252::firstUnencodable(name);
    if (bad < 0)
        return {};
    const char32_t c = characterAt(name, bad);
    return QStringLiteral("A category name cannot contain \"%1\" (%2): the task file cannot store "
                          "this character.")
        .arg(QString::fromUcs4(&c, 1), codePoint(c));
}
