#include "TEXEVersionData.h"

#include "VersionBlock.h"
#include "store/StoreError.h"

void ReadVersionData(const VersionBlock &block, TEXEVersionData &data)
{
    // What the system reports for a file without a version resource.
    const StoreError noVersionBlock(
        QStringLiteral("System Error.  Code: 1813.\r\n"
                       "The specified resource type cannot be found in the image file"));
    if (block.isEmpty())
        throw noVersionBlock;
    quint16 language = 0;
    quint16 codePage = 0;
    if (!block.firstTranslation(language, codePage))
        throw noVersionBlock;

    // "%.4x%.4x": four upper-case hexadecimal digits each.
    const QString table = QStringLiteral("%1%2")
                              .arg(language, 4, 16, QLatin1Char('0'))
                              .arg(codePage, 4, 16, QLatin1Char('0'))
                              .toUpper();
    const QPair<const char *, QString *> keys[] = {
        {"\\CompanyName", &data.CompanyName},
        {"\\FileDescription", &data.FileDescription},
        {"\\FileVersion", &data.FileVersion},
        {"\\InternalName", &data.InternalName},
        {"\\LegalCopyright", &data.LegalCopyright},
        {"\\LegalTrademarks", &data.LegalTrademarks},
        {"\\OriginalFileName", &data.OriginalFileName},
        {"\\ProductName", &data.ProductName},
        {"\\ProductVersion", &data.ProductVersion},
        {"\\Comments", &data.Comments},
        {"\\PrivateBuild", &data.PrivateBuild},
        {"\\SpecialBuild", &data.SpecialBuild},
    };
    for (const auto &key : keys) {
        QString value;
        if (block.query(QStringLiteral("\\StringFileInfo\\") + table + QLatin1String(key.first),
                        value))
            *key.second = value;
    }
}
