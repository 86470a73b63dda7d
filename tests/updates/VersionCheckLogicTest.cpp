// Reading the offered version and turning versions into numbers.
#include "updates/VersionCheckLogic.h"
#include "common/TestFiles.h"
#include "store/StoreError.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace VersionCheckLogic;

namespace {

QString errorOf(const QString &version)
{
    try {
        versionNumber(version);
    } catch (const StoreError &e) {
        return e.message();
    }
    return QStringLiteral("<no error>");
}

TEST(OfferedVersion, isTheTextUpToTheNextClosingTagWithinTwentyCharacters)
{
    EXPECT_EQ(offeredVersion("x<Program_Version>1.2.0.7</Program_Version>"), "1.2.0.7");
    // The first tag counts; the text stops at any "</".
    EXPECT_EQ(offeredVersion("<Program_Version>2.0</b><Program_Version>3.0</b>"), "2.0");
    // Exactly twenty characters, then the closing tag: "</" lies outside them.
    EXPECT_EQ(offeredVersion("<Program_Version>12345678901234567890</x>"), "");
    EXPECT_EQ(offeredVersion("<Program_Version>123456789012345678</x>"), "123456789012345678");
    EXPECT_EQ(offeredVersion("<Program_Version>1.2"), "");
    // The tag is case-sensitive: this text has none, and is read from its 17th character.
    EXPECT_EQ(offeredVersion("<program_version>1.2</program_version>"), ">1.2");
}

TEST(OfferedVersion, withoutTheTagIsReadFromTheSeventeenthCharacter)
{
    EXPECT_EQ(offeredVersion("0123456789abcdef7.7</x>"), "7.7");
    EXPECT_EQ(offeredVersion("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<a>1</a>"), "");
    EXPECT_EQ(offeredVersion(""), "");
}

TEST(VersionNumber, joinsTheDigitsOfTheVersion)
{
    EXPECT_EQ(versionNumber("1.2.0.6"), 1206);
    EXPECT_EQ(versionNumber("1.3"), 13);
    EXPECT_EQ(versionNumber("1.2.0.10"), 12010);
    EXPECT_EQ(versionNumber("..7.."), 7);
    EXPECT_EQ(versionNumber("  1.5"), 15);
    EXPECT_EQ(versionNumber("-1.0"), -10);
    EXPECT_EQ(versionNumber("2147.483.647"), 2147483647);
}

TEST(VersionNumber, anythingButDigitsIsAnIntegerErrorOnTheDotlessText)
{
    EXPECT_EQ(errorOf(""), "'' is not a valid integer value");
    EXPECT_EQ(errorOf("..."), "'' is not a valid integer value");
    EXPECT_EQ(errorOf("1.2.0.7b"), "'1207b' is not a valid integer value");
    EXPECT_EQ(errorOf("1.2 "), "'12 ' is not a valid integer value");
    EXPECT_EQ(errorOf("1.2\r\n"), "'12\r\n' is not a valid integer value");
    EXPECT_EQ(errorOf("+"), "'+' is not a valid integer value");
    // Past 32 bits: an error, never a wrapped number.
    EXPECT_EQ(errorOf("2147.483.648"), "'2147483648' is not a valid integer value");
    EXPECT_EQ(errorOf("99999999999999999999"),
              "'99999999999999999999' is not a valid integer value");
}

TEST(LoadText, endsEveryLineWithCarriageReturnLineFeed)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("nudgery.xml");
    TestFiles::writeAll(path, "a\nb\r\nc\rd");
    EXPECT_EQ(loadText(path), "a\r\nb\r\nc\r\nd\r\n");
    TestFiles::writeAll(path, "caf\xe9\r\n\r\n");
    EXPECT_EQ(loadText(path), QStringLiteral("caf\u00e9\r\n\r\n"));
    TestFiles::writeAll(path, "");
    EXPECT_EQ(loadText(path), "");
}

TEST(Messages, nameTheFileAfterTheLastSlashOfTheSecondSource)
{
    EXPECT_EQ(downloadErrorText("https://repo.example/a/b/Nudgery_pad.xml"),
              "Error downloading file \"Nudgery_pad.xml\" for version check.\r"
              "Please check your internet connection and/or firewall..");
    EXPECT_EQ(downloadErrorText("pad.xml"),
              "Error downloading file \"pad.xml\" for version check.\r"
              "Please check your internet connection and/or firewall..");
}

} // namespace
