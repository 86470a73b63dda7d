// The program's version block and reading it into TEXEVersionData.
#include "about/TEXEVersionData.h"
#include "about/VersionBlock.h"
#include "about/WebLinks.h"
#include "store/StoreError.h"

#include <gtest/gtest.h>

namespace {

TEST(ReadVersionData, readsTheProgramsOwnBlock)
{
    TEXEVersionData data;
    ReadVersionData(VersionBlock::program(), data);
    EXPECT_EQ(data.FileVersion, "1.2.0.6");
    EXPECT_EQ(data.ProductVersion, "1.2.0.6");
    EXPECT_EQ(data.FileDescription, "List of all the tasks you have ToDo");
    EXPECT_EQ(data.Comments, "Create and control lists of all the tasks you have ToDo and "
                             "remember, set priorities and colors, alarms, sort, edit, archive, "
                             "all in an easy way.");
    EXPECT_EQ(data.ProductName, "Nudgery");
    EXPECT_EQ(data.InternalName, "Tasklyn");
    // Stored as "OriginalFilename", asked for as "OriginalFileName": names match in any case.
    EXPECT_EQ(data.OriginalFileName, "Tasklyn.exe");
    EXPECT_EQ(data.LegalTrademarks, "");
    EXPECT_EQ(data.CompanyName, WebLinks::fromBuild().webAddress);
    EXPECT_EQ(data.LegalCopyright, WebLinks::fromBuild().makerName);
    EXPECT_EQ(data.PrivateBuild, "");
    EXPECT_EQ(data.SpecialBuild, "");
}

TEST(ReadVersionData, usesTheTableOfTheFirstTranslationAndKeepsWhatItLacks)
{
    VersionBlock block;
    block.addTranslation(0x0c0a, 0x04b0); // table "0C0A04B0": upper-case hex digits
    block.addTranslation(0x0409, 0x04E4);
    block.setString("0C0A04B0", "FileVersion", "3.1");
    block.setString("0C0A04B0", "SpecialBuild", "nightly");
    block.setString("040904E4", "ProductName", "other table");

    TEXEVersionData data;
    data.ProductName = "kept";
    data.Comments = "kept too";
    ReadVersionData(block, data);
    EXPECT_EQ(data.FileVersion, "3.1");
    EXPECT_EQ(data.SpecialBuild, "nightly");
    EXPECT_EQ(data.ProductName, "kept");
    EXPECT_EQ(data.Comments, "kept too");
    EXPECT_EQ(data.CompanyName, "");
}

TEST(ReadVersionData, aMissingBlockOrTranslationIsTheSystemsError)
{
    const QString error = QStringLiteral("System Error.  Code: 1813.\r\n"
                                         "The specified resource type cannot be found in the "
                                         "image file");
    TEXEVersionData data;
    try {
        ReadVersionData(VersionBlock(), data);
        ADD_FAILURE() << "an empty block was read";
    } catch (const StoreError &e) {
        EXPECT_EQ(e.message(), error);
    }

    VersionBlock noTranslation;
    noTranslation.setString("040904E4", "FileVersion", "1.0");
    try {
        ReadVersionData(noTranslation, data);
        ADD_FAILURE() << "a block without translation was read";
    } catch (const StoreError &e) {
        EXPECT_EQ(e.message(), error);
    }
    EXPECT_EQ(data.FileVersion, "");
}

} // namespace
