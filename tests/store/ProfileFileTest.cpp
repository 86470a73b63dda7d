#include "store/ProfileFile.h"
#include "common/TestFiles.h"
#include "store/ProfileData.h"
#include "store/StoreError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// A section taken out in one write, as the first-start conversion does.
void eraseSection(ProfileFile &f, const char *section)
{
    f.update([section](ProfileData &data) { data.removeSection(QString::fromLatin1(section)); });
}

class ProfileFileTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Tasklyn.INI"));
    }

    void given(const QByteArray &bytes) { TestFiles::writeAll(m_path, bytes); }
    QByteArray onDisk() const { return TestFiles::readAll(m_path); }
    ProfileFile file() const { return ProfileFile(m_path); }

    QTemporaryDir m_dir;
    QString m_path;
};

// --- reading -------------------------------------------------------------------

TEST_F(ProfileFileTest, SectionAndKeyNamesMatchWithoutRegardToCase)
{
    given("[PreFerences]\r\nWindowHeight=200\r\nlanguage=Portuguese\r\n");
    const ProfileFile f = file();
    EXPECT_EQ(f.readInteger("preferences", "WINDOWHEIGHT", 0), 200);
    EXPECT_EQ(f.readString("PREFERENCES", "Language", "English"), "Portuguese");
    EXPECT_EQ(f.readString("Options", "Language", "English"), "English");
}

TEST_F(ProfileFileTest, ValuesAreTrimmedAndLoseOnePairOfEnclosingQuotes)
{
    given("[S]\r\n"
          "  Spaced \t=\t  some value  \r\n"
          "Double=\"  kept inside  \"\r\n"
          "Single='x'\r\n"
          "Nested=\"\"twice\"\"\r\n"
          "Mismatched=\"abc'\r\n"
          "Lone=\"\r\n"
          "Empty=\r\n"
          "Inner=a \"b\" c\r\n");
    const ProfileFile f = file();
    EXPECT_EQ(f.readString("S", "Spaced", "-"), "some value");
    EXPECT_EQ(f.readString("S", "Double", "-"), "  kept inside  ");
    EXPECT_EQ(f.readString("S", "Single", "-"), "x");
    EXPECT_EQ(f.readString("S", "Nested", "-"), "\"twice\"");
    EXPECT_EQ(f.readString("S", "Mismatched", "-"), "\"abc'");
    EXPECT_EQ(f.readString("S", "Lone", "-"), "\"");
    // A present but empty key is empty, not the default.
    EXPECT_EQ(f.readString("S", "Empty", "-"), "");
    EXPECT_EQ(f.readString("S", "Inner", "-"), "a \"b\" c");
}

TEST_F(ProfileFileTest, AcceptsBareLineFeedsAndALastLineWithoutEnd)
{
    given("[A]\nOne=1\n[B]\nTwo=2");
    const ProfileFile f = file();
    EXPECT_EQ(f.readInteger("A", "One", 0), 1);
    EXPECT_EQ(f.readInteger("B", "Two", 0), 2);
    EXPECT_EQ(f.readInteger("A", "Two", 0), 0);
}

TEST_F(ProfileFileTest, CommentsAndStrayLinesAreNotKeys)
{
    given("Before=section\r\n[S]\r\n;Commented=1\r\n  ; Indented=2\r\nno equals "
          "sign\r\n=novalue\r\n");
    const ProfileFile f = file();
    EXPECT_EQ(f.readString("S", ";Commented", "def"), "def");
    EXPECT_EQ(f.readString("S", "Commented", "def"), "def");
    EXPECT_EQ(f.readString("S", "Indented", "def"), "def");
    EXPECT_EQ(f.readString("S", "no equals sign", "def"), "def");
    EXPECT_EQ(f.readString("S", "", "def"), "def");
    EXPECT_EQ(f.readString("", "Before", "def"), "def");
}

TEST_F(ProfileFileTest, FirstOfDuplicateKeysWins)
{
    given("[S]\r\nKey=first\r\nKEY=second\r\n");
    EXPECT_EQ(file().readString("S", "key", "-"), "first");
}

TEST_F(ProfileFileTest, MissingFileSectionOrKeyReadsAsTheDefault)
{
    const ProfileFile missing = file();
    EXPECT_EQ(missing.readString("Preferences", "FormStyle", "fsNormal"), "fsNormal");
    EXPECT_EQ(missing.readInteger("Preferences", "WindowHeight", 177), 177);
    EXPECT_TRUE(missing.readBool("Preferences", "FlatToolbar", true));
    EXPECT_FALSE(missing.readBool("Preferences", "Alert", false));
    EXPECT_FALSE(QFile::exists(m_path)) << "reading must not create the file";

    given("[Preferences]\r\nAlert=1\r\n");
    EXPECT_EQ(file().readInteger("Options", "Alert", 5), 5);
    EXPECT_EQ(file().readInteger("Preferences", "Other", 5), 5);
}

TEST_F(ProfileFileTest, EveryReadGoesToTheFile)
{
    given("[S]\r\nK=1\r\n");
    const ProfileFile f = file();
    EXPECT_EQ(f.readInteger("S", "K", 0), 1);
    given("[S]\r\nK=2\r\n");
    EXPECT_EQ(f.readInteger("S", "K", 0), 2);
    ASSERT_TRUE(QFile::remove(m_path));
    EXPECT_EQ(f.readInteger("S", "K", 0), 0);
}

TEST_F(ProfileFileTest, IntegersAcceptDecimalSignsAndHex)
{
    given("[N]\r\n"
          "Plain=42\r\nNeg=-17\r\nPlus=+8\r\nQuoted=\" 12 \"\r\n"
          "Dollar=$1F\r\nZeroX=0x10\r\nUpperX=0XfF\r\nNegHex=-$10\r\nAllBits=$FFFFFFFF\r\n"
          "Max=2147483647\r\nMin=-2147483648\r\n");
    const ProfileFile f = file();
    EXPECT_EQ(f.readInteger("N", "Plain", 0), 42);
    EXPECT_EQ(f.readInteger("N", "Neg", 0), -17);
    EXPECT_EQ(f.readInteger("N", "Plus", 0), 8);
    EXPECT_EQ(f.readInteger("N", "Quoted", 0), 12);
    EXPECT_EQ(f.readInteger("N", "Dollar", 0), 31);
    EXPECT_EQ(f.readInteger("N", "ZeroX", 0), 16);
    EXPECT_EQ(f.readInteger("N", "UpperX", 0), 255);
    EXPECT_EQ(f.readInteger("N", "NegHex", 0), -16);
    EXPECT_EQ(f.readInteger("N", "AllBits", 0), -1);
    EXPECT_EQ(f.readInteger("N", "Max", 0), 2147483647);
    EXPECT_EQ(f.readInteger("N", "Min", 0), -2147483647 - 1);
}

TEST_F(ProfileFileTest, MalformedIntegersReadAsTheDefault)
{
    given("[N]\r\nEmpty=\r\nWord=abc\r\nTail=12abc\r\nInnerSpace=1 2\r\nSignOnly=-\r\n"
          "DollarOnly=$\r\nBadHex=$1G\r\nFloat=1.5\r\nOver=2147483648\r\nUnder=-2147483649\r\n"
          "HexOver=$100000000\r\nHuge=99999999999999999999999\r\n");
    const ProfileFile f = file();
    for (const char *key : {"Empty", "Word", "Tail", "InnerSpace", "SignOnly", "DollarOnly",
                            "BadHex", "Float", "Over", "Under", "HexOver", "Huge"}) {
        EXPECT_EQ(f.readInteger("N", key, -99), -99) << key;
    }
}

TEST_F(ProfileFileTest, BooleansAreNumbersNonZeroMeaningOn)
{
    given("[B]\r\nSeven=7\r\nMinus=-1\r\nZero=0\r\nOne=1\r\nWord=true\r\nEmpty=\r\n");
    const ProfileFile f = file();
    EXPECT_TRUE(f.readBool("B", "Seven", false));
    EXPECT_TRUE(f.readBool("B", "Minus", false));
    EXPECT_TRUE(f.readBool("B", "One", false));
    EXPECT_FALSE(f.readBool("B", "Zero", true));
    // A word is not a number: the default stands, whichever it is.
    EXPECT_TRUE(f.readBool("B", "Word", true));
    EXPECT_FALSE(f.readBool("B", "Word", false));
    EXPECT_TRUE(f.readBool("B", "Empty", true));
    EXPECT_FALSE(f.readBool("B", "Empty", false));
}

TEST_F(ProfileFileTest, TextIsWindows1252OnDisk)
{
    given("[Category]\r\n1=Ma\xE7\xE3\r\n2=\x80uro\r\n");
    EXPECT_EQ(file().readString("Category", "1", ""), QString::fromUtf8("Maçã"));
    EXPECT_EQ(file().readString("Category", "2", ""), QString::fromUtf8("€uro"));

    ProfileFile f = file();
    f.writeString("Category", "3", QString::fromUtf8("Café"));
    EXPECT_EQ(onDisk(), QByteArray("[Category]\r\n1=Ma\xE7\xE3\r\n2=\x80uro\r\n3=Caf\xE9\r\n"));
    EXPECT_EQ(f.readString("Category", "3", ""), QString::fromUtf8("Café"));
}

// --- writing -------------------------------------------------------------------

TEST_F(ProfileFileTest, WritingIntoAMissingFileCreatesItWithCrlfLines)
{
    ProfileFile f = file();
    f.writeBool("Preferences", "Alert", true);
    EXPECT_EQ(onDisk(), QByteArray("[Preferences]\r\nAlert=1\r\n"));

    f.writeString("Options", "Language", "English");
    EXPECT_EQ(onDisk(),
              QByteArray("[Preferences]\r\nAlert=1\r\n\r\n[Options]\r\nLanguage=English\r\n"));

    f.writeBool("Preferences", "Alert", false);
    f.writeInteger("Options", "Count", -3);
    EXPECT_EQ(onDisk(), QByteArray("[Preferences]\r\nAlert=0\r\n\r\n"
                                   "[Options]\r\nLanguage=English\r\nCount=-3\r\n"));
}

TEST_F(ProfileFileTest, NewKeyLandsAtTheEndOfItsSectionBeforeBlankLines)
{
    given("[Preferences]\nAlert=1\n\n[Options]\nLanguage=English\n");
    ProfileFile f = file();
    f.writeInteger("preferences", "WindowHeight", 200);
    EXPECT_EQ(onDisk(), QByteArray("[Preferences]\r\nAlert=1\r\nWindowHeight=200\r\n\r\n"
                                   "[Options]\r\nLanguage=English\r\n"));
    EXPECT_EQ(f.readInteger("Preferences", "WindowHeight", 0), 200);
    EXPECT_EQ(f.readInteger("Options", "WindowHeight", 0), 0);
}

TEST_F(ProfileFileTest, NewKeyFollowsTheLastKeyLineOfItsSection)
{
    given("[A]\r\nOne=1\r\n; about B\r\n\r\n[B]\r\nTwo=2\r\n");
    file().writeString("A", "New", "n");
    EXPECT_EQ(onDisk(), QByteArray("[A]\r\nOne=1\r\nNew=n\r\n; about B\r\n\r\n[B]\r\nTwo=2\r\n"));
}

TEST_F(ProfileFileTest, NewKeyInASectionWithoutKeysGoesBeforeItsTrailingBlankLines)
{
    given("[A]\r\n; nothing yet\r\n\r\n\r\n[B]\r\nTwo=2\r\n");
    file().writeString("A", "New", "n");
    EXPECT_EQ(onDisk(), QByteArray("[A]\r\n; nothing yet\r\nNew=n\r\n\r\n\r\n[B]\r\nTwo=2\r\n"));
}

TEST_F(ProfileFileTest, NewSectionIsNotSetOffTwiceWhenTheFileEndsBlank)
{
    given("[A]\r\nOne=1\r\n\r\n");
    file().writeString("B", "Two", "2");
    EXPECT_EQ(onDisk(), QByteArray("[A]\r\nOne=1\r\n\r\n[B]\r\nTwo=2\r\n"));
}

TEST_F(ProfileFileTest, RewritingAKeyKeepsItsPlaceAndSpelling)
{
    given("[prefs]\r\nFirst = 1\r\nwindowHEIGHT = 5\r\nLast=3\r\n");
    file().writeInteger("Prefs", "WindowHeight", 7);
    // Only the changed line is rebuilt; the others stay as they were, spaces and all.
    EXPECT_EQ(onDisk(), QByteArray("[prefs]\r\nFirst = 1\r\nwindowHEIGHT=7\r\nLast=3\r\n"));
}

TEST_F(ProfileFileTest, WritingADuplicatedKeyUpdatesTheFirst)
{
    given("[S]\r\nKey=first\r\nkey=second\r\n");
    ProfileFile f = file();
    f.writeString("S", "KEY", "new");
    EXPECT_EQ(onDisk(), QByteArray("[S]\r\nKey=new\r\nkey=second\r\n"));
    EXPECT_EQ(f.readString("S", "Key", ""), "new");
}

TEST_F(ProfileFileTest, CommentsBlankAndUnknownLinesSurviveAWrite)
{
    const QByteArray before = "; written by hand\r\n"
                              "stray line before any section\r\n"
                              "\r\n"
                              "[Preferences]   ; trailing note\r\n"
                              ";Alert=1\r\n"
                              "  junk without equals\r\n"
                              "Alert = 0\r\n"
                              "\t\r\n"
                              "[Options]\r\n"
                              "Language=\"English\"\r\n";
    given(before);
    ProfileFile f = file();
    f.writeBool("Preferences", "Alert", true);
    QByteArray expected = before;
    expected.replace("Alert = 0\r\n", "Alert=1\r\n");
    EXPECT_EQ(onDisk(), expected);
    EXPECT_TRUE(f.readBool("Preferences", "Alert", false));
}

TEST_F(ProfileFileTest, WrittenValuesReadBackThroughTrimming)
{
    ProfileFile f = file();
    f.writeString("S", "Path", "C:\\Program Files\\Nudgery");
    f.writeString("S", "Empty", "");
    EXPECT_EQ(f.readString("S", "Path", ""), "C:\\Program Files\\Nudgery");
    EXPECT_EQ(f.readString("S", "Empty", "def"), "");
    EXPECT_EQ(onDisk(), QByteArray("[S]\r\nPath=C:\\Program Files\\Nudgery\r\nEmpty=\r\n"));
}

TEST_F(ProfileFileTest, DeleteKeyRemovesOnlyThatKey)
{
    given(
        "[Preferences]\r\nSortedHint=1\r\n; keep me\r\nAlert=1\r\n\r\n[Other]\r\nSortedHint=2\r\n");
    ProfileFile f = file();
    f.deleteKey("PREFERENCES", "sortedhint");
    EXPECT_EQ(
        onDisk(),
        QByteArray("[Preferences]\r\n; keep me\r\nAlert=1\r\n\r\n[Other]\r\nSortedHint=2\r\n"));
    EXPECT_EQ(f.readString("Preferences", "SortedHint", "gone"), "gone");
}

TEST_F(ProfileFileTest, DeleteKeyRemovesEveryCopySoNoneComesBack)
{
    given("[S]\r\nKey=first\r\nKEY=second\r\nOther=1\r\n");
    ProfileFile f = file();
    f.deleteKey("S", "key");
    EXPECT_EQ(onDisk(), QByteArray("[S]\r\nOther=1\r\n"));
    EXPECT_EQ(f.readString("S", "Key", "def"), "def");
}

TEST_F(ProfileFileTest, DeletingWhatIsNotThereWritesNothing)
{
    ProfileFile f = file();
    f.deleteKey("Preferences", "SortedHint");
    eraseSection(f, "Records");
    EXPECT_FALSE(QFile::exists(m_path)) << "no file may appear";

    // Bare line feeds would become CRLF on any rewrite: unchanged bytes prove none.
    const QByteArray lf = "[Preferences]\nAlert=1\n";
    given(lf);
    f.deleteKey("Preferences", "SortedHint");
    f.deleteKey("Options", "Alert");
    eraseSection(f, "Records");
    EXPECT_EQ(onDisk(), lf);
}

TEST_F(ProfileFileTest, RemovingASectionTakesItsHeaderAndLines)
{
    given("[Preferences]\r\nAlert=1\r\n\r\n"
          "[records]\r\nQuantity=2\r\n; note\r\n\r\n"
          "[Events0]\r\nTask=a\r\n");
    ProfileFile f = file();
    eraseSection(f, "Records");
    EXPECT_EQ(onDisk(), QByteArray("[Preferences]\r\nAlert=1\r\n\r\n[Events0]\r\nTask=a\r\n"));
    EXPECT_EQ(f.readInteger("Records", "Quantity", 0), 0);
    eraseSection(f, "EVENTS0");
    EXPECT_EQ(onDisk(), QByteArray("[Preferences]\r\nAlert=1\r\n\r\n"));
}

TEST_F(ProfileFileTest, AWriteIntoAMissingFolderNamesTheFullPath)
{
    const QString saved = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    const QString here = QDir::currentPath();
    ProfileFile f(QStringLiteral("nowhere/Tasklyn.INI"));
    QString message;
    try {
        f.writeBool("Preferences", "Alert", true);
    } catch (const StoreError &e) {
        message = e.message();
    }
    QDir::setCurrent(saved);
    EXPECT_EQ(message, QStringLiteral("Unable to write to ") + here +
                           QStringLiteral("/nowhere/Tasklyn.INI"));
}

TEST_F(ProfileFileTest, ARefusedWriteThrowsUnableToWrite)
{
    // Permission bits do not stop a privileged user (tests may run as root); then
    // the target is made a directory, which no rename can replace.
    const QString folder = m_dir.filePath(QStringLiteral("locked"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString target = folder + QStringLiteral("/Tasklyn.INI");
    const QByteArray original = "[Preferences]\r\nAlert=0\r\n";
    TestFiles::writeAll(target, original);
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadGroup | QFile::ExeGroup |
                                                  QFile::ReadOther | QFile::ExeOther));
    QFile probe(folder + QStringLiteral("/probe"));
    const bool bitsBind = !probe.open(QIODevice::WriteOnly);
    if (!bitsBind)
        probe.remove();

    QString refusedPath = target;
    if (!bitsBind) {
        refusedPath = m_dir.filePath(QStringLiteral("AFolder.INI"));
        ASSERT_TRUE(QDir().mkpath(refusedPath));
    }

    ProfileFile f(refusedPath);
    const QString expected = QStringLiteral("Unable to write to ") + refusedPath;
    auto expectRefused = [&](const char *what, auto &&write) {
        try {
            write();
            ADD_FAILURE() << what << " did not throw";
        } catch (const StoreError &e) {
            EXPECT_EQ(e.message(), expected) << what;
        }
    };
    expectRefused("writeString", [&] { f.writeString("Preferences", "Alert", "1"); });
    expectRefused("writeInteger", [&] { f.writeInteger("Preferences", "WindowHeight", 1); });
    expectRefused("writeBool", [&] { f.writeBool("Preferences", "Alert", true); });
    if (bitsBind) {
        expectRefused("deleteKey", [&] { f.deleteKey("Preferences", "Alert"); });
        expectRefused("removeSection", [&] { eraseSection(f, "Preferences"); });
        EXPECT_EQ(TestFiles::readAll(target), original) << "the old file must stay whole";
    }
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(ProfileFileTest, AnUnreadableFileIsNotReplacedByAWrite)
{
    // A directory standing where the file should be can be neither read nor replaced.
    ASSERT_TRUE(QDir().mkpath(m_path));
    ProfileFile f = file();
    EXPECT_EQ(f.readString("S", "K", "def"), "def");
    EXPECT_THROW(f.writeString("S", "K", "v"), StoreError);
    EXPECT_TRUE(QFileInfo(m_path).isDir());
}

// --- the parsed form on its own ---------------------------------------------------

TEST(ProfileDataTest, ParseSerializeKeepsEveryLineAndNormalisesLineEnds)
{
    const QByteArray text = "junk\n[A] ;c\n k = v \n\n;x\n[B]\nz=\"q\"\n";
    const ProfileData data = ProfileData::parse(text);
    EXPECT_EQ(data.serialize(),
              QByteArray("junk\r\n[A] ;c\r\n k = v \r\n\r\n;x\r\n[B]\r\nz=\"q\"\r\n"));
    EXPECT_EQ(data.value("a", "K"), QString("v"));
    EXPECT_EQ(data.value("B", "z"), QString("q"));
    EXPECT_TRUE(data.hasSection("b"));
    EXPECT_FALSE(data.hasSection("C"));
    EXPECT_FALSE(data.value("A", "missing").has_value());
}

TEST(ProfileDataTest, SectionHeadersAreTrimmedAndNeedAClosingBracket)
{
    const ProfileData data = ProfileData::parse("[  Spaced Name  ]\r\nk=1\r\n[Open\r\nj=2\r\n");
    EXPECT_EQ(data.value("Spaced Name", "k"), QString("1"));
    EXPECT_FALSE(data.hasSection("Open"));
    // Without its bracket the line is kept as a stray line of the section before.
    EXPECT_EQ(data.value("Spaced Name", "j"), QString("2"));
}

TEST(ProfileDataTest, EmptyDataSerializesToNothingAndGrowsFromTheFirstWrite)
{
    ProfileData data;
    EXPECT_TRUE(data.serialize().isEmpty());
    data.setValue("S", "K", "V");
    EXPECT_EQ(data.serialize(), QByteArray("[S]\r\nK=V\r\n"));
    data.removeSection("s");
    EXPECT_TRUE(data.serialize().isEmpty());
    EXPECT_TRUE(ProfileData::parse(QByteArray()).serialize().isEmpty());
    EXPECT_TRUE(ProfileData::load("/nonexistent/dir/file.ini").serialize().isEmpty());
}

} // namespace
