#include "CategoryList.h"

#include "store/Settings.h"
#include "store/TaskRow.h"
#include "store/Win1252.h"

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

int CategoryList::count() const
{
    return m_settings.integer(SettingKey::Cats);
}

QStringList CategoryList::names() const
{
    return m_settings.categoryNames(count());
}

void CategoryList::add(const QString &name)
{
    const int n = count();
    m_settings.setInteger(SettingKey::Cats, n + 1);
    m_settings.setCategoryName(n + 1, name);
}

void CategoryList::add(const QStringList &names)
{
    if (!names.isEmpty())
        m_settings.appendCategoryNames(count(), names);
}

bool CategoryList::remove(const QString &name)
{
    const int n = count();
    int j = 1;
    while (j <= n && m_settings.categoryName(j) != name)
        ++j;
    if (j > n)
        return false;
    for (int k = j; k < n; ++k)
        m_settings.setCategoryName(k, m_settings.categoryName(k + 1));
    m_settings.removeCategoryName(n);
    m_settings.setInteger(SettingKey::Cats, n - 1);
    return true;
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
