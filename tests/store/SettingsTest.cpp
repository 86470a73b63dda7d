#include "store/Settings.h"
#include "common/TestFiles.h"
#include "store/SettingsKeys.h"
#include "store/StoreError.h"

#include <QSet>
#include <QTemporaryDir>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr int kKeyCount = static_cast<int>(SettingKey::UnArchivAsk) + 1;

SettingKey keyAt(int i)
{
    return static_cast<SettingKey>(i);
}

QString str(const char *text)
{
    return text ? QString::fromLatin1(text) : QStringLiteral("<none>");
}

// --- the key table -----------------------------------------------------------------

TEST(SettingsKeysTest, EveryKeyHasASectionAndAName)
{
    const QSet<QString> sections{"Preferences", "Options", "Category", "Archive"};
    for (int i = 0; i < kKeyCount; ++i) {
        const SettingInfo &info = settingInfo(keyAt(i));
        ASSERT_NE(info.section, nullptr) << i;
        ASSERT_NE(info.key, nullptr) << i;
        EXPECT_TRUE(sections.contains(str(info.section))) << i << " " << info.section;
        EXPECT_GT(std::strlen(info.key), 0u) << i;
    }
}

TEST(SettingsKeysTest, NoTwoKeysShareASlotInTheFile)
{
    QSet<QString> seen;
    for (int i = 0; i < kKeyCount; ++i) {
        const SettingInfo &info = settingInfo(keyAt(i));
        const QString slot = (str(info.section) + "/" + str(info.key)).toLower();
        EXPECT_FALSE(seen.contains(slot)) << slot.toStdString();
        seen.insert(slot);
    }
}

TEST(SettingsKeysTest, BooleanDefaultsAreStoredAsOneOrZero)
{
    for (int i = 0; i < kKeyCount; ++i) {
        const SettingInfo &info = settingInfo(keyAt(i));
        if (info.type != SettingType::Boolean)
            continue;
        ASSERT_NE(info.defaultValue, nullptr) << info.key;
        EXPECT_TRUE(str(info.defaultValue) == "1" || str(info.defaultValue) == "0") << info.key;
    }
}

// --- typed access ------------------------------------------------------------------

class SettingsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath(QStringLiteral("Tasklyn.INI"));
    }
    QByteArray onDisk() const { return TestFiles::readAll(m_path); }

    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(SettingsTest, EveryKeyIsWrittenAsTheFilesOlderReleasesWrote)
{
    // Each key stored once, in the order the program first writes its section.
    Settings s(m_path);
    s.setFlag(SettingKey::WeekendStop, true);
    s.setText(SettingKey::MyDateFormat, QStringLiteral("dd/MM/yyyy"));
    s.setInteger(SettingKey::WindowPositionLeft, 265);
    s.setInteger(SettingKey::WindowPositionTop, 108);
    s.setText(SettingKey::FormStyle, QStringLiteral("fsStayOnTop"));
    s.setInteger(SettingKey::WindowHeight, 240);
    s.setInteger(SettingKey::WindowWidth, 336);
    s.setInteger(SettingKey::NoteHeight, 129);
    s.setText(SettingKey::WindowState, QStringLiteral("wsMinimized"));
    s.setFlag(SettingKey::FlatToolbar, false);
    s.setFlag(SettingKey::CustomCols, true);
    s.setText(SettingKey::ColumnWidths, QStringLiteral("[012,206,061,031,012]"));
    s.setInteger(SettingKey::SelectedRow, 3);
    s.setText(SettingKey::Sorted, QStringLiteral("Date"));
    s.setInteger(SettingKey::SortedOrdr, 1);
    s.setFlag(SettingKey::Alert, true);
    s.setFlag(SettingKey::Alert_s, false);
    s.setFlag(SettingKey::AutoArchiv, true);
    s.setFlag(SettingKey::AutoArchivAsk, false);
    s.setText(SettingKey::DefNewTime, QStringLiteral("08h:15"));
    s.setText(SettingKey::ShowHints, QStringLiteral("false"));
    s.setText(SettingKey::INIsavePath, QStringLiteral("/home/ann/Nudgery/"));
    s.setInteger(SettingKey::SortedArch, 1);
    s.setText(SettingKey::SortedHint, QStringLiteral("x"));
    s.setText(SettingKey::Language, QStringLiteral("Portuguese"));
    s.setInteger(SettingKey::Cats, 0);
    s.setFlag(SettingKey::ArchWindowPosition, true);
    s.setInteger(SettingKey::ArchWindowPositionLeft, 40);
    s.setInteger(SettingKey::ArchWindowPositionTop, 50);
    s.setFlag(SettingKey::ArchWindowSize, true);
    s.setInteger(SettingKey::ArchWindowHeight, 139);
    s.setInteger(SettingKey::ArchWindowWidth, 309);
    s.setFlag(SettingKey::UnArchivAsk, false);
    EXPECT_EQ(
        onDisk().toStdString(),
        std::string("[Preferences]\r\n"
                    "WeekendStop=1\r\nMyDateFormat=dd/MM/yyyy\r\nWindowPositionLeft=265\r\n"
                    "WindowPositionTop=108\r\nFormStyle=fsStayOnTop\r\nWindowHeight=240\r\n"
                    "WindowWidth=336\r\nNoteHeight=129\r\nWindowState=wsMinimized\r\n"
                    "FlatToolbar=0\r\nCustomCols=1\r\nColumnWidths=[012,206,061,031,012]\r\n"
                    "SelectedRow=3\r\nSorted=Date\r\nSortedOrdr=1\r\nAlert=1\r\nAlert_s=0\r\n"
                    "AutoArchiv=1\r\nAutoArchivAsk=0\r\nDefNewTime=08h:15\r\nShowHints=false\r\n"
                    "INIsavePath=/home/ann/Nudgery/\r\nSortedArch=1\r\nSortedHint=x\r\n"
                    "\r\n[Options]\r\nLanguage=Portuguese\r\n"
                    "\r\n[Category]\r\nCats=0\r\n"
                    "\r\n[Archive]\r\nWindowPosition=1\r\nWindowPositionLeft=40\r\n"
                    "WindowPositionTop=50\r\nWindowSize=1\r\nWindowHeight=139\r\n"
                    "WindowWidth=309\r\nUnArchivAsk=0\r\n"));
}

TEST_F(SettingsTest, WithoutAFileEveryKeyReadsItsTableDefault)
{
    const Settings s(m_path);
    EXPECT_TRUE(s.flag(SettingKey::FlatToolbar));
    EXPECT_TRUE(s.flag(SettingKey::Alert_s));
    EXPECT_TRUE(s.flag(SettingKey::UnArchivAsk));
    EXPECT_FALSE(s.flag(SettingKey::Alert));
    EXPECT_EQ(s.integer(SettingKey::WindowHeight), 177);
    EXPECT_EQ(s.integer(SettingKey::ArchWindowHeight), 139);
    EXPECT_EQ(s.integer(SettingKey::SortedArch), 6);
    EXPECT_EQ(s.text(SettingKey::DefNewTime), "09h:30");
    EXPECT_EQ(s.text(SettingKey::Language), "English");
    EXPECT_EQ(s.text(SettingKey::Sorted), "(none)");
    EXPECT_EQ(s.text(SettingKey::FormStyle), "fsNormal");
    EXPECT_EQ(s.text(SettingKey::WindowState), "wsNormal");
    EXPECT_EQ(s.text(SettingKey::ShowHints), "true");
    EXPECT_EQ(s.text(SettingKey::MyDateFormat), "");
    EXPECT_EQ(s.integer(SettingKey::WindowWidth), 328);
    EXPECT_EQ(s.integer(SettingKey::NoteHeight), 129);
    EXPECT_EQ(s.integer(SettingKey::ArchWindowWidth), 309);
    EXPECT_EQ(s.integer(SettingKey::SortedOrdr), 0);
    EXPECT_EQ(s.integer(SettingKey::Cats), 0);
    EXPECT_TRUE(s.flag(SettingKey::CustomCols));
    EXPECT_TRUE(s.flag(SettingKey::AutoArchivAsk));
    for (SettingKey off : {SettingKey::WeekendStop, SettingKey::AutoArchiv,
                           SettingKey::ArchWindowPosition, SettingKey::ArchWindowSize})
        EXPECT_FALSE(s.flag(off));
    // No table default: the plain accessors give nothing, callers pass their own.
    EXPECT_EQ(s.integer(SettingKey::WindowPositionLeft), 0);
    EXPECT_EQ(s.integer(SettingKey::WindowPositionLeft, 345), 345);
    EXPECT_EQ(s.text(SettingKey::INIsavePath), "");
    EXPECT_EQ(s.text(SettingKey::INIsavePath, "/opt/nudgery"), "/opt/nudgery");
    // The archive command's own default overrides the table's.
    EXPECT_FALSE(s.flag(SettingKey::AutoArchivAsk, false));
}

TEST_F(SettingsTest, StoredValuesWinOverDefaultsAndMalformedOnesDoNot)
{
    TestFiles::writeAll(m_path, "[preferences]\r\nflattoolbar=0\r\nwindowheight=250\r\n"
                                "Alert=7\r\nAlert_s=yes\r\nNoteHeight=tall\r\n"
                                "[ARCHIVE]\r\nWindowHeight=90\r\n");
    const Settings s(m_path);
    EXPECT_FALSE(s.flag(SettingKey::FlatToolbar));
    EXPECT_EQ(s.integer(SettingKey::WindowHeight), 250);
    EXPECT_TRUE(s.flag(SettingKey::Alert));
    EXPECT_TRUE(s.flag(SettingKey::Alert_s)) << "a word reads as the default (on)";
    EXPECT_EQ(s.integer(SettingKey::NoteHeight), 129);
    EXPECT_EQ(s.integer(SettingKey::ArchWindowHeight), 90);
    EXPECT_EQ(s.integer(SettingKey::ArchWindowWidth), 309);
}

TEST_F(SettingsTest, WritesGoToTheKeysOwnSectionAndSpelling)
{
    Settings s(m_path);
    s.setFlag(SettingKey::Alert_s, false);
    s.setInteger(SettingKey::ArchWindowHeight, 150);
    s.setText(SettingKey::Language, "Portuguese");
    EXPECT_EQ(onDisk().toStdString(), std::string("[Preferences]\r\nAlert_s=0\r\n\r\n"
                                                  "[Archive]\r\nWindowHeight=150\r\n\r\n"
                                                  "[Options]\r\nLanguage=Portuguese\r\n"));
    EXPECT_EQ(s.integer(SettingKey::WindowHeight), 177) << "[Archive] must not leak";
    EXPECT_EQ(s.integer(SettingKey::ArchWindowHeight), 150);
    EXPECT_EQ(s.text(SettingKey::Language), "Portuguese");

    s.remove(SettingKey::Alert_s);
    EXPECT_TRUE(s.flag(SettingKey::Alert_s));
    EXPECT_FALSE(onDisk().contains("Alert_s"));
}

// --- ColumnWidths ------------------------------------------------------------------

TEST(ColumnWidthsTest, FormatPadsEachWidthToThreeDigits)
{
    EXPECT_EQ(ColumnWidths::format({12, 206, 61, 31, 12}), "[012,206,061,031,012]");
    EXPECT_EQ(ColumnWidths::format({0, 5, 999, 100, 7}), "[000,005,999,100,007]");
}

TEST(ColumnWidthsTest, WidthsOutsideTheSlotsAreClamped)
{
    // Four digits would shift every later slot of the positional reading.
    EXPECT_EQ(ColumnWidths::format({12, 1000, 61, 31, 12}), "[012,999,061,031,012]");
    EXPECT_EQ(ColumnWidths::format({12, 206, 61, 31, -4}), "[012,206,061,031,000]");
    const QString wide = ColumnWidths::format({12, 5000, 61, 31, 12});
    EXPECT_EQ(wide.size(), 21);
    EXPECT_EQ(ColumnWidths::parse(wide), (std::array<int, 5>{12, 999, 61, 31, 12}));
}

TEST(ColumnWidthsTest, ParseReadsByPositionNotBySeparators)
{
    EXPECT_EQ(ColumnWidths::parse("[012,206,061,031,012]"),
              (std::array<int, 5>{12, 206, 61, 31, 12}));
    // Only the slices count: other separators and trailing text are never looked at.
    EXPECT_EQ(ColumnWidths::parse("x012;206|061 031-012)tail"),
              (std::array<int, 5>{12, 206, 61, 31, 12}));
    // A value cut short inside its last slice keeps the digits that are there.
    EXPECT_EQ(ColumnWidths::parse("[012,206,061,031,01")[4], 1);
    const std::array<int, 5> widths{1, 22, 333, 0, 999};
    EXPECT_EQ(ColumnWidths::parse(ColumnWidths::format(widths)), widths);
}

TEST(ColumnWidthsTest, ASliceThatIsNotANumberIsAnError)
{
    auto messageFor = [](const QString &value) {
        try {
            ColumnWidths::parse(value);
        } catch (const StoreError &e) {
            return e.message().toStdString();
        }
        return std::string("<no error>");
    };
    EXPECT_EQ(messageFor("[ab1,206,061,031,012]"), "'ab1' is not a valid integer value");
    EXPECT_EQ(messageFor("[012,206,061,031,0x2]"), "'0x2' is not a valid integer value");
    // Nothing is trimmed, and a sign is not a digit.
    EXPECT_EQ(messageFor("[012, 12,061,031,012]"), "' 12' is not a valid integer value");
    EXPECT_EQ(messageFor("[012,206,-61,031,012]"), "'-61' is not a valid integer value");
    // A four-digit width pushes the next slice off its digits.
    EXPECT_EQ(messageFor("[012,1206,061,031,012]"), "',06' is not a valid integer value");
    // Too short: a slice cut short still converts if it is digits; the empty one does not.
    EXPECT_EQ(messageFor("[012,206,061,03"), "'' is not a valid integer value");
    EXPECT_EQ(messageFor("[012,206,061,031,01"), "<no error>");
    EXPECT_EQ(messageFor("[012,206,061,031,0"), "<no error>");
    EXPECT_EQ(messageFor("[012,206]"), "'' is not a valid integer value");
    EXPECT_EQ(messageFor(""), "'' is not a valid integer value");
}

TEST(ColumnWidthsTest, DefaultHoldsTheDateColumnWidth)
{
    EXPECT_EQ(ColumnWidths::defaultValue(61), "[012,206,061,031,012]");
    EXPECT_EQ(ColumnWidths::defaultValue(7), "[012,206,007,031,012]");
    EXPECT_EQ(ColumnWidths::parse(ColumnWidths::defaultValue(74))[2], 74);
}

} // namespace
