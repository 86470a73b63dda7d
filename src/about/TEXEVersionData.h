#pragma once

#include <QString>

class VersionBlock;

// The twelve strings of a version block's string table, in the order they are read.
struct TEXEVersionData
{
    QString CompanyName;
    QString FileDescription;
    QString FileVersion;
    QString InternalName;
    QString LegalCopyright;
    QString LegalTrademarks;
    QString OriginalFileName;
    QString ProductName;
    QString ProductVersion;
    QString Comments;
    QString PrivateBuild;
    QString SpecialBuild;
};

// Fills `data` from the string table of the block's first translation; a key the
// table lacks leaves its string as it was. An empty block, or one without a
// translation entry, throws StoreError with the system's error text.
void ReadVersionData(const VersionBlock &block, TEXEVersionData &data);
