// Tasks read from iCalendar files into a real task file and settings file.
#include "output/IcsImport.h"

#include "common/Fakes.h"
#include "common/TestFiles.h"
#include "output/IcsExport.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "store/TaskRecord.h"
#include "store/TaskTable.h"
#include "tasks/CategoryList.h"
#include "tasks/TaskList.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace TestFiles;

namespace {

// The shape other task programs write: folded lines, escaped commas, a time zone
// given by its VTIMEZONE, events beside the to-dos. UTF-8, CR LF.
const char *const OtherProgram =
    "BEGIN:VCALENDAR\r\n"
    "VERSION:2.0\r\n"
    "PRODID:-//Example Corp.//Task Organiser 4.2//EN\r\n"
    "BEGIN:VTIMEZONE\r\n"
    "TZID:America/New_York\r\n"
    "BEGIN:STANDARD\r\n"
    "DTSTART:19701101T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=11;BYDAY=1SU\r\n"
    "TZOFFSETFROM:-0400\r\n"
    "TZOFFSETTO:-0500\r\n"
    "END:STANDARD\r\n"
    "BEGIN:DAYLIGHT\r\n"
    "DTSTART:19700308T020000\r\n"
    "RRULE:FREQ=YEARLY;BYMONTH=3;BYDAY=2SU\r\n"
    "TZOFFSETFROM:-0500\r\n"
    "TZOFFSETTO:-0400\r\n"
    "END:DAYLIGHT\r\n"
    "END:VTIMEZONE\r\n"
    "BEGIN:VTODO\r\n"
    "UID:a1@example.com\r\n"
    "DTSTAMP:20261201T080000Z\r\n"
    "SUMMARY:Call the bank\\, then the notary about the house sale and the p\r\n"
    " apers\r\n"
    "DUE;TZID=America/New_York:20270115T093000\r\n"
    "PRIORITY:1\r\n"
    "CATEGORIES:Work,Calls\r\n"
    "DESCRIPTION:Ask for Ms. Nowak\\nRoom 4\\, second floor\r\n"
    "END:VTODO\r\n"
    "BEGIN:VEVENT\r\n"
    "UID:e1@example.com\r\n"
    "DTSTAMP:20261201T080000Z\r\n"
    "DTSTART:20270116T100000Z\r\n"
    "SUMMARY:Team meeting\r\n"
    "END:VEVENT\r\n"
    "BEGIN:VTODO\r\n"
    "UID:a2@example.com\r\n"
    "DTSTAMP:20261201T080000Z\r\n"
    "SUMMARY:Renew passport\r\n"
    "DUE;VALUE=DATE:20270301\r\n"
    "PRIORITY:9\r\n"
    "CATEGORIES:Home\r\n"
    "STATUS:COMPLETED\r\n"
    "END:VTODO\r\n"
    "BEGIN:VTODO\r\n"
    "UID:a3@example.com\r\n"
    "DTSTAMP:20261201T080000Z\r\n"
    "SUMMARY:Write to Łukasz about Dvořák tickets ✓\r\n"
    "PRIORITY:4\r\n"
    "END:VTODO\r\n"
    "BEGIN:VTODO\r\n"
    "UID:a4@example.com\r\n"
    "DTSTAMP:20261201T080000Z\r\n"
    "SUMMARY:Water the plants\r\n"
    "DUE:20270102T170000Z\r\n"
    "END:VTODO\r\n"
    "BEGIN:VTODO\r\n"
    "UID:a5@example.com\r\n"
    "DTSTAMP:20261201T080000Z\r\n"
    "END:VTODO\r\n"
    "END:VCALENDAR\r\n";

struct Expected
{
    const char *done, *task, *date, *hour, *priority, *sortKey, *category, *colour, *note;
};

// The program runs in UTC here (tests/common/TestMain.cpp), so New York's 09:30 in
// January is 14:30 and a UTC time is kept as it is; today is the fake clock's
// 9 December 2026. "ř" loses its accent, "Ł" and "✓" have no near character.
const Expected Records[] = {
    {" ", "Call the bank, then the notary about the house sale and the papers", "15/01/2027",
     "14:30", "1", "2027-01-15 14:30", "Work", "18", "Ask for Ms. Nowak\r\nRoom 4, second floor"},
    {"\xC3\x97", "Renew passport", "01/03/2027", "", "5", "2027-03-01 00:00", "Home", "18", ""},
    {" ", "Write to ?ukasz about Dvor\xC3\xA1k tickets ?", "09/12/2026", "", "2",
     "2026-12-09 00:00", "", "18", ""},
    {" ", "Water the plants", "02/01/2027", "17:00", "", "2027-01-02 17:00", "", "18", ""},
};

// The task file's records, in file order, without the order field.
std::vector<TaskRow> storedTasks(const QString &dataPath)
{
    const QByteArray bytes = readAll(dataPath);
    std::vector<TaskRow> rows;
    qint64 pos = 0;
    while (const std::optional<QByteArray> text = TaskRecord::textAt(bytes, pos)) {
        if (!TaskRecord::isBlank(*text)) {
            TaskRow row = TaskRecord::split(*text);
            row[Col::Order].clear();
            rows.push_back(row);
        }
        pos += 4 + text->size();
    }
    return rows;
}

struct Folder
{
    QTemporaryDir dir;
    QString data = dir.filePath(QStringLiteral("Tasklyn.DAT"));
    QString archive = dir.filePath(QStringLiteral("Tasklyn.ARK"));
    Settings settings{dir.filePath(QStringLiteral("Tasklyn.INI"))};
    DamagedFiles damaged;
    TaskList tasks{data, archive, damaged};
    DateFormat dates;
    FakeClock clock;

    Folder() { tasks.setSettings(&settings); }
    IcsImport::Parsed import(const QByteArray &calendar)
    {
        const QString path = dir.filePath(QStringLiteral("in.ics"));
        writeAll(path, calendar);
        return IcsImport::importFile(path, tasks, settings, dates, clock);
    }
};

TEST(IcsImport, aFileFromAnotherProgramBecomesTheExactRecords)
{
    Folder folder;
    CategoryList(folder.settings).add(QStringLiteral("Home"));
    const IcsImport::Parsed result = folder.import(OtherProgram);
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();

    const std::vector<TaskRow> stored = storedTasks(folder.data);
    ASSERT_EQ(stored.size(), std::size(Records));
    for (size_t i = 0; i < stored.size(); ++i) {
        const Expected &e = Records[i];
        const TaskRow want = {QString::fromUtf8(e.done),
                              QString::fromUtf8(e.task),
                              e.date,
                              e.hour,
                              e.priority,
                              QString(),
                              e.sortKey,
                              e.category,
                              e.colour,
                              e.note};
        for (int col = 0; col < Col::Count; ++col)
            EXPECT_EQ(stored[i][col], want[col]) << "task " << i << " column " << col;
    }
    // Listed once each, in the order first met; Calls was not kept.
    EXPECT_EQ(CategoryList(folder.settings).names(),
              (QStringList{QStringLiteral("Home"), QStringLiteral("Work")}));

    // The reasons, task by task; the nameless to-do is skipped under its UID.
    std::vector<std::pair<QString, QString>> changed, skipped;
    for (const IcsImport::Remark &r : result.changed)
        changed.emplace_back(r.task.left(14), QString::fromLatin1(r.reason));
    for (const IcsImport::Remark &r : result.skipped)
        skipped.emplace_back(r.task, QString::fromLatin1(r.reason));
    const std::vector<std::pair<QString, QString>> wantChanged = {
        {"Call the bank,", "ImportTimeZone"},
        {"Call the bank,", "ImportCategories"},
        {"Write to \xC5\x81ukas", "ImportCharacters"},
        {"Write to \xC5\x81ukas", "ImportNoDue"},
    };
    EXPECT_EQ(changed, wantChanged);
    EXPECT_EQ(skipped,
              (std::vector<std::pair<QString, QString>>{{"a5@example.com", "ImportNoSummary"}}));
    EXPECT_TRUE(IcsImport::summary(result, Language::English)
                    .startsWith(QStringLiteral("4 tasks imported.")));
}

TEST(IcsImport, aMalformedFileIsRefusedWithLibicalsReasonAndNothingWritten)
{
    Folder folder;
    const QByteArray bad =
        QByteArray(OtherProgram).replace("DUE:20270102T170000Z", "DUE:2027-01-02 evening");
    const IcsImport::Parsed result = folder.import(bad);
    EXPECT_TRUE(result.error.contains(QStringLiteral("DUE"))) << result.error.toStdString();
    EXPECT_TRUE(result.tasks.empty());
    EXPECT_TRUE(QDir(folder.dir.path()).entryList(QDir::Files) == QStringList{"in.ics"});
    EXPECT_FALSE(folder.import("This is not a calendar.").error.isEmpty());
}

TEST(IcsImport, anExportedListImportsBackToTheSameTasks)
{
    Folder source;
    const std::vector<TaskRow> tasks = {
        {" ", "Plain task", "03/01/2027", "08:05", "3", "", "2027-01-03 08:05", "Work", "4",
         "Line one\r\nLine two, with a comma; and a semicolon"},
        {DoneMark, "Done, undated hour", "28/02/2027", "", "", "", "2027-02-28 00:00", "", "18",
         ""},
        {" ", "Caf\xC3\xA9 \xE2\x82\xAC 5 \xE2\x80\x94 ok", "31/12/2026", "23:59", "5", "",
         "2026-12-31 23:59", "Home", "0", "\xC2\xBD price"},
        {" ", "Priority one", "01/01/2027", "00:00", "1", "", "2027-01-01 00:00", "", "12", ""},
    };
    source.tasks.load(AllItems);
    for (const TaskRow &task : tasks)
        source.tasks.add(task);
    const std::vector<TaskRow> before = storedTasks(source.data);
    const QString ics = source.dir.filePath(QStringLiteral("out.ics"));
    QString error;
    ASSERT_EQ(IcsExport::exportFile(source.data, {}, ics, source.dates, source.clock, &error), 4);

    Folder target;
    const IcsImport::Parsed result = target.import(readAll(ics));
    ASSERT_TRUE(result.error.isEmpty()) << result.error.toStdString();
    EXPECT_TRUE(result.changed.empty());
    EXPECT_TRUE(result.skipped.empty());
    EXPECT_EQ(storedTasks(target.data), before);
    EXPECT_EQ(CategoryList(target.settings).names(),
              (QStringList{QStringLiteral("Work"), QStringLiteral("Home")}));
}

} // namespace
