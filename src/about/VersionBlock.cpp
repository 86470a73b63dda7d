#include "VersionBlock.h"

#include "VersionInfo.h"

VersionBlock VersionBlock::program()
{
    const QString table = QStringLiteral("040904E4");
    VersionBlock block;
    block.addTranslation(0x0409, 0x04E4);
    const QPair<const char *, const char *> strings[] = {
        {"CompanyName", NUDGERY_WEB_ADDRESS},
        {"FileDescription", NUDGERY_FILE_DESCRIPTION},
        {"FileVersion", NUDGERY_FILE_VERSION},
        {"InternalName", NUDGERY_INTERNAL_NAME},
        {"LegalCopyright", NUDGERY_MAKER_NAME},
        {"LegalTrademarks", ""},
        {"OriginalFilename", NUDGERY_ORIGINAL_FILENAME},
        {"ProductName", NUDGERY_PRODUCT_NAME},
        {"ProductVersion", NUDGERY_PRODUCT_VERSION},
        {"Comments", NUDGERY_COMMENTS},
    };
    for (const auto &s : strings)
        block.setString(table, QLatin1String(s.first), QString::fromUtf8(s.second));
    return block;
}

void VersionBlock::addTranslation(quint16 language, quint16 codePage)
{
    m_translations.append({language, codePage});
}

bool VersionBlock::firstTranslation(quint16 &language, quint16 &codePage) const
{
    if (m_translations.isEmpty())
        return false;
    language = m_translations.first().first;
    codePage = m_translations.first().second;
    return true;
}

void VersionBlock::setString(const QString &table, const QString &key, const QString &value)
{
    m_strings.insert(QStringLiteral("\\StringFileInfo\\") + table + QLatin1Char('\\') + key, value);
}

bool VersionBlock::query(const QString &subBlock, QString &value) const
{
    // The system matches value names without regard to case.
    for (auto it = m_strings.constBegin(); it != m_strings.constEnd(); ++it) {
        if (it.key().compare(subBlock, Qt::CaseInsensitive) == 0) {
            value = it.value();
            return true;
        }
    }
    return false;
}
