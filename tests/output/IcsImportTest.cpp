// Tasks read from iCalendar files into a real task file and settings file.
#include "output/IcsImport.h"

#include "common/Fakes.h"
#include "common/TestFiles.h"
#include "output/IcsExport.h"
#include "store/DamagedFiles.h"
#include "store/DateFormat.h"
#include "store/Settings.h"
#include "store/TaskIdentities.h"
#include "store/TaskRecord.h"
#include "store/TaskTable.h"
#include "tasks/CategoryList.h"
#include "tasks/RepeatRule.h"
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

    TaskIdentities identities{dir.filePath(QStringLiteral("Tasklyn.IDS"))};

    Folder() { tasks.setSettings(&settings); }
    IcsImport::Parsed import(const QByteArray &calendar)
    {
        const QString path = dir.filePath(QStringLiteral("in.ics"));
        writeAll(path, calendar);
        return IcsImport::importFile(path, tasks, settings, dates, clock);
    }
};

TEST(IcsImport, aTaskImportedAgainOrExportedAndImportedIsUpdatedInsteadOfDoubled)
{
    Folder folder;
    folder.tasks.setIdentities(&folder.identities);
    const auto calendar = [](const char *second) {
        return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//EN\r\nBEGIN:VTODO\r\nUID:one@x\r\n"
               "SUMMARY:First\r\nDUE;VALUE=DATE:20261224\r\nEND:VTODO\r\nBEGIN:VTODO\r\n"
               "UID:two@x\r\nSUMMARY:" +
               QByteArray(second) + "\r\nDUE;VALUE=DATE:20261224\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    };
    ASSERT_EQ(folder.import(calendar("Second")).tasks.size(), 2u);
    // A task of the list's own, exported without an identity of its own.
    TaskRow own;
    own[Col::Task] = QStringLiteral("Own");
    own[Col::Date] = QStringLiteral("24/12/2026");
    own[Col::SortKey] = QStringLiteral("2026-12-24 00:00");
    own[Col::TextColor] = QStringLiteral("18");
    folder.tasks.add(own);

    // WHEN the file comes again with one task changed, and the list's export
    const IcsImport::Parsed again = folder.import(calendar("Second, changed"));
    const QString ics = folder.dir.filePath(QStringLiteral("out.ics"));
    QString error;
    ASSERT_EQ(IcsExport::exportFile(folder.data, folder.identities.path(), ics, folder.dates,
                                    folder.clock, &error),
              3);
    const IcsImport::Parsed exported = folder.import(readAll(ics));

    // THEN nothing is doubled, the changed task is changed, and the summary says so
    EXPECT_TRUE(again.tasks.empty());
    EXPECT_EQ(again.updated, 2);
    EXPECT_TRUE(IcsImport::summary(again, Language::English)
                    .contains(QLatin1String("2 tasks of the file were in the list already")));
    EXPECT_TRUE(exported.tasks.empty());
    EXPECT_EQ(exported.updated, 3);
    QStringList texts;
    for (const TaskRow &row : storedTasks(folder.data))
        texts << row[Col::Task];
    texts.sort();
    EXPECT_EQ(texts, QStringList({"First", "Own", "Second, changed"}));
    // The export wrote the UIDs the tasks came with.
    EXPECT_TRUE(readAll(ics).contains("UID:one@x\r\n"));
    EXPECT_TRUE(readAll(ics).contains("UID:two@x\r\n"));
}

TEST(IcsImport, aRepeatingTaskExportedAndImportedElsewhereStillRepeats)
{
    // GIVEN a task made weekly in the editor, and one that came with a rule the
    // editor cannot make (the last Friday of each month, five times)
    Folder from;
    from.tasks.setIdentities(&from.identities);
    from.import("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//EN\r\nBEGIN:VTODO\r\n"
                "UID:rent@x\r\nSUMMARY:Rent\r\nDUE;VALUE=DATE:20261225\r\n"
                "RRULE:FREQ=MONTHLY;BYDAY=-1FR;COUNT=5\r\nEND:VTODO\r\nEND:VCALENDAR\r\n");
    TaskRow bins;
    bins[Col::Task] = QStringLiteral("Bins");
    bins[Col::Date] = QStringLiteral("10/12/2026");
    bins[Col::Hour] = QStringLiteral("07:45");
    bins[Col::SortKey] = QStringLiteral("2026-12-10 07:45");
    bins[Col::TextColor] = QStringLiteral("18");
    from.tasks.add(bins,
                   RepeatRule::every(RepeatRule::Unit::Week, 1, QDate(2026, 12, 10)).stored());

    // WHEN the list is exported and the file imported into another folder
    const QString ics = from.dir.filePath(QStringLiteral("out.ics"));
    QString error;
    ASSERT_EQ(IcsExport::exportFile(from.data, from.identities.path(), ics, from.dates, from.clock,
                                    &error),
              2)
        << error.toStdString();
    const QByteArray file = readAll(ics);
    Folder to;
    to.identities.load();
    to.tasks.setIdentities(&to.identities);
    const IcsImport::Parsed imported = to.import(file);

    // THEN the file says each rule, and both tasks repeat there as they did here
    EXPECT_TRUE(file.contains("RRULE:FREQ=WEEKLY;BYDAY=TH\r\n")) << file.toStdString();
    EXPECT_TRUE(file.contains("RRULE:FREQ=MONTHLY;COUNT=5;BYDAY=-1FR\r\n") ||
                file.contains("RRULE:FREQ=MONTHLY;BYDAY=-1FR;COUNT=5\r\n"))
        << file.toStdString();
    EXPECT_TRUE(imported.changed.empty());
    to.tasks.setRepeats(&to.clock, &to.dates, {});
    to.tasks.load(AllItems);
    const TaskTable &t = to.tasks.table();
    ASSERT_EQ(t.taskCount(), 2);
    for (int r = 1; r <= 2; ++r) {
        const RepeatRule rule = to.tasks.repeatRule(r);
        if (t.cell(Col::Task, r) == QStringLiteral("Bins")) {
            EXPECT_EQ(rule, RepeatRule::every(RepeatRule::Unit::Week, 1, QDate(2026, 12, 10)));
        } else {
            EXPECT_EQ(rule.unit(), RepeatRule::Unit::Elsewhere);
            EXPECT_EQ(rule.seriesStart(), QDate(2026, 12, 25));
        }
    }
}

TEST(IcsImport, aFileFromAnotherProgramBecomesTheExactRecords)
{
    Folder folder;
    CategoryList(folder.settings).add(QStringLiteral("Home"));
    const IcsImport::Parsed result = folder.import(OtherProgram);
    ASSERT_FALSE(result.refused()) << IcsImport::summary(result, Language::English).toStdString();

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
    EXPECT_TRUE(result.refusal.detail.contains(QStringLiteral("DUE")))
        << result.refusal.detail.toStdString();
    EXPECT_TRUE(result.tasks.empty());
    EXPECT_TRUE(QDir(folder.dir.path()).entryList(QDir::Files) == QStringList{"in.ics"});
    EXPECT_TRUE(folder.import("This is not a calendar.").refused());
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
    ASSERT_FALSE(result.refused()) << IcsImport::summary(result, Language::English).toStdString();
    EXPECT_TRUE(result.changed.empty());
    EXPECT_TRUE(result.skipped.empty());
    EXPECT_EQ(storedTasks(target.data), before);
    EXPECT_EQ(CategoryList(target.settings).names(),
              (QStringList{QStringLiteral("Work"), QStringLiteral("Home")}));
}

// One VTODO a case: what other programs write that the task file has no field for,
// or that is out of its range, and how each arrives. Today is 9 December 2026 and
// the program runs in UTC (tests/common/TestMain.cpp).
struct Case
{
    const char *lines; // the VTODO's properties beside UID and SUMMARY
    const char *done, *date, *hour, *priority;
    std::vector<std::pair<const char *, const char *>> remarks; // reason, detail
};

// A zone whose rule repeats every second: libical would expand it second by second.
const char *const RunawayZone = "BEGIN:VTIMEZONE\r\nTZID:Every second\r\nBEGIN:STANDARD\r\n"
                                "DTSTART:19700101T000000\r\nRRULE:FREQ=SECONDLY\r\n"
                                "TZOFFSETFROM:+0100\r\nTZOFFSETTO:+0200\r\nEND:STANDARD\r\n"
                                "END:VTIMEZONE\r\n";

const Case Cases[] = {
    {"STATUS:CANCELLED\r\nDUE;VALUE=DATE:20270110\r\n",
     "\xC3\x97",
     "10/01/2027",
     "",
     "",
     {{"ImportCancelled", ""}}},
    {"COMPLETED:20261201T100000Z\r\nDUE;VALUE=DATE:20270110\r\n",
     "\xC3\x97",
     "10/01/2027",
     "",
     "",
     {}},
    {"PERCENT-COMPLETE:100\r\nDUE;VALUE=DATE:20270110\r\n", "\xC3\x97", "10/01/2027", "", "", {}},
    {"PERCENT-COMPLETE:60\r\nDUE;VALUE=DATE:20270110\r\n", " ", "10/01/2027", "", "", {}},
    {"DTSTART;VALUE=DATE:20270105\r\n", " ", "05/01/2027", "", "", {{"ImportStartDate", ""}}},
    {"DTSTART:20270105T081500Z\r\nRRULE:FREQ=WEEKLY\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
     "TRIGGER:-PT15M\r\nDESCRIPTION:x\r\nEND:VALARM\r\n",
     " ",
     "05/01/2027",
     "08:15",
     "",
     {{"ImportStartDate", ""}, {"ImportAlarm", ""}}},
    {"DUE;VALUE=DATE:20270105\r\nRRULE:FREQ=SECONDLY\r\n",
     " ",
     "05/01/2027",
     "",
     "",
     {{"ImportRepeat", "it repeats more often than once a day"}}},
    {"DUE;TZID=Asia/Tokyo:20270102T100000\r\n",
     " ",
     "02/01/2027",
     "01:00",
     "",
     {{"ImportTimeZone", "Asia/Tokyo"}}},
    {"DUE;TZID=Mars/Olympus:20270102T100000\r\n",
     " ",
     "02/01/2027",
     "10:00",
     "",
     {{"ImportUnknownZone", "Mars/Olympus"}}},
    {"DUE;TZID=Every second:20270102T100000\r\n",
     " ",
     "02/01/2027",
     "10:00",
     "",
     {{"ImportUnusableZone", "Every second"}}},
    {"DUE:20270102T256100\r\nPRIORITY:3\r\n",
     " ",
     "02/01/2027",
     "",
     "2",
     {{"ImportBadHour", "25:61"}}},
    {"DUE:20270102T100000\r\nPRIORITY:-5\r\n",
     " ",
     "02/01/2027",
     "10:00",
     "",
     {{"ImportBadPriority", "-5"}}},
    {"DUE:20270102T100000\r\nPRIORITY:99\r\n",
     " ",
     "02/01/2027",
     "10:00",
     "",
     {{"ImportBadPriority", "99"}}},
    {"DUE:20270102T100000\r\nPRIORITY:abc\r\n",
     " ",
     "02/01/2027",
     "10:00",
     "",
     {{"ImportBadPriority", "abc"}}},
    // Past year 9999 once in UTC: as if there were no DUE.
    {"DUE;TZID=America/Los_Angeles:99991231T230000\r\n",
     " ",
     "09/12/2026",
     "",
     "",
     {{"ImportOutOfRange", ""}, {"ImportNoDue", ""}}},
    {"DUE:00000101T100000\r\nDTSTART;VALUE=DATE:20270303\r\n",
     " ",
     "03/03/2027",
     "",
     "",
     {{"ImportOutOfRange", ""}, {"ImportStartDate", ""}}},
};

TEST(IcsImport, whatTheTaskFileCannotHoldArrivesAsCloseAsItCanAndEveryChangeIsSaid)
{
    Folder folder;
    QByteArray calendar = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n";
    calendar += RunawayZone;
    for (size_t k = 0; k < std::size(Cases); ++k)
        calendar += "BEGIN:VTODO\r\nUID:c" + QByteArray::number(qulonglong(k)) +
                    "\r\nSUMMARY:Case " + QByteArray::number(qulonglong(k)) + "\r\n" +
                    Cases[k].lines + "END:VTODO\r\n";
    calendar += "BEGIN:VTODO\r\nUID:bad\r\nSUMMARY:No such day\r\nDUE;VALUE=DATE:20270230\r\n"
                "END:VTODO\r\nEND:VCALENDAR\r\n";
    const IcsImport::Parsed result = folder.import(calendar);
    ASSERT_FALSE(result.refused()) << IcsImport::summary(result, Language::English).toStdString();

    const std::vector<TaskRow> stored = storedTasks(folder.data);
    ASSERT_EQ(stored.size(), std::size(Cases));
    for (size_t k = 0; k < std::size(Cases); ++k) {
        const Case &c = Cases[k];
        const QString name = QStringLiteral("Case %1").arg(k);
        SCOPED_TRACE(name.toStdString());
        EXPECT_EQ(stored[k][Col::Task], name);
        EXPECT_EQ(stored[k][Col::Done], QString::fromUtf8(c.done));
        EXPECT_EQ(stored[k][Col::Date], QString::fromLatin1(c.date));
        EXPECT_EQ(stored[k][Col::Hour], QString::fromLatin1(c.hour));
        EXPECT_EQ(stored[k][Col::Priority], QString::fromLatin1(c.priority));
        std::vector<std::pair<QString, QString>> said, want;
        for (const IcsImport::Remark &r : result.changed)
            if (r.task == name)
                said.emplace_back(QString::fromLatin1(r.reason), r.detail);
        for (const auto &[reason, detail] : c.remarks)
            want.emplace_back(QString::fromLatin1(reason), QString::fromLatin1(detail));
        EXPECT_EQ(said, want);
    }
    ASSERT_EQ(result.skipped.size(), 1u);
    EXPECT_STREQ(result.skipped[0].reason, "ImportBadDue");
}

// A calendar of n to-dos; withDue: each has a DUE; category: a prefix for a
// category of its own each.
QByteArray manyTodos(int n, bool withDue, const char *category = nullptr)
{
    QByteArray out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n";
    for (int k = 0; k < n; ++k) {
        out += "BEGIN:VTODO\r\nUID:m" + QByteArray::number(k) + "\r\nSUMMARY:Task " +
               QByteArray::number(k) + "\r\n";
        if (withDue)
            out += "DUE:20270115T093000\r\n";
        if (category)
            out += "CATEGORIES:" + QByteArray(category) + QByteArray::number(k) + "\r\n";
        out += "END:VTODO\r\n";
    }
    return out + "END:VCALENDAR\r\n";
}

TEST(IcsImport, anImportIsOneUndoStepAndItsNewCategoriesOneWriteOfTheSettings)
{
    Folder folder;
    folder.tasks.load(AllItems);
    folder.tasks.add(
        {" ", "Already here", "01/01/2027", "", "", "", "2027-01-01 00:00", "", "18", ""});
    int settingsWrites = 0;
    folder.settings.file().setBeforeWrite([&] { ++settingsWrites; });

    const IcsImport::Parsed result = folder.import(manyTodos(1000, true, "Group "));
    ASSERT_EQ(result.tasks.size(), 1000u);
    EXPECT_EQ(settingsWrites, 1);
    const QStringList names = CategoryList(folder.settings).names();
    ASSERT_EQ(names.size(), 1000);
    EXPECT_EQ(names.front(), QStringLiteral("Group 0"));
    EXPECT_EQ(names.back(), QStringLiteral("Group 999"));
    EXPECT_EQ(storedTasks(folder.data).size(), 1001u);
    EXPECT_EQ(folder.tasks.table().taskCount(), 1001);

    ASSERT_TRUE(folder.tasks.canUndo());
    EXPECT_EQ(folder.tasks.nextUndo(), UndoKind::Import);
    folder.tasks.undo();
    const std::vector<TaskRow> left = storedTasks(folder.data);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0][Col::Task], QStringLiteral("Already here"));
    EXPECT_EQ(folder.tasks.table().taskCount(), 1);
    EXPECT_EQ(folder.tasks.nextUndo(), UndoKind::Add);
}

TEST(IcsImport, theSummaryGroupsRemarksByReasonWithTheirCountAndFirstTasks)
{
    Folder folder;
    const IcsImport::Parsed many = folder.import(manyTodos(1000, false));
    EXPECT_EQ(IcsImport::summary(many, Language::English),
              QStringLiteral("1,000 tasks imported.\n\nChanged:\n"
                             "  no due date: today, without an hour (1,000 tasks): \"Task 0\", "
                             "\"Task 1\", \"Task 2\" and 997 more"));
    const IcsImport::Parsed one = folder.import(manyTodos(1, true));
    EXPECT_EQ(IcsImport::summary(one, Language::English), QStringLiteral("1 task imported."));
    EXPECT_EQ(IcsImport::summary(one, Language::Portuguese), QStringLiteral("1 evento importado."));
    const IcsImport::Parsed events =
        folder.import("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\nBEGIN:VEVENT\r\nUID:e\r\n"
                      "DTSTART:20270101T100000Z\r\nSUMMARY:Meeting\r\nEND:VEVENT\r\n"
                      "END:VCALENDAR\r\n");
    EXPECT_EQ(IcsImport::summary(events, Language::English),
              QStringLiteral("0 tasks imported: the file holds no tasks, only events."));
}

// Files made to hurt the parser: each is refused before libical works on it, with
// its reason, and the folder stays as it was.
TEST(IcsImport, hostileFilesAreRefusedWithTheirReasonAndLeaveTheFolderAlone)
{
    const QByteArray open = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:x\r\n";
    const QByteArray close = "END:VCALENDAR\r\n";
    // An unfolded line of 1 MB and a byte, in continuation lines of 75.
    QByteArray folded = "BEGIN:VTODO\r\nUID:l\r\nSUMMARY:";
    for (qsizetype left = 1024 * 1024 + 1 - 8; left > 0; left -= 74)
        folded += QByteArray(std::min<qsizetype>(left, 74), 'x') + "\r\n ";
    folded += "x\r\nEND:VTODO\r\n";
    const struct
    {
        QByteArray text;
        const char *reason;
        const char *says;
    } hostile[] = {
        {QByteArray(64 * 1024 * 1024 + 1, ' '), "ImportTooLarge", "it is larger than 64 MB."},
        {open + folded + close, "ImportLineTooLong", "line 6 is longer than 1 MB"},
        {open + QByteArray("BEGIN:X-A\r\n").repeated(130000) +
             QByteArray("END:X-A\r\n").repeated(130000) + close,
         "ImportTooDeep", "nested more than 32 deep"},
        {open + QByteArray("BEGIN:VTODO\r\nSUMMARY:a\0b\r\nEND:VTODO\r\n", 37) + close,
         "ImportBinary", "NUL byte"},
    };
    for (const auto &h : hostile) {
        SCOPED_TRACE(h.reason);
        Folder folder;
        const IcsImport::Parsed result = folder.import(h.text);
        ASSERT_TRUE(result.refused());
        EXPECT_STREQ(result.refusal.reason, h.reason);
        EXPECT_TRUE(IcsImport::summary(result, Language::English)
                        .startsWith(QStringLiteral("The file was not imported, nothing was "
                                                   "changed: ")));
        EXPECT_TRUE(
            IcsImport::summary(result, Language::English).contains(QString::fromLatin1(h.says)))
            << IcsImport::summary(result, Language::English).toStdString();
        EXPECT_EQ(QDir(folder.dir.path()).entryList(QDir::Files), QStringList{"in.ics"});
    }
}

TEST(IcsImport, aDamagedTaskFileCutBackOnTheWayIsSaidInTheSummary)
{
    Folder folder;
    const QByteArray sound =
        record(fields({" ", "Kept", "01/01/2027", "", "", "0", "2027-01-01 00:00", "", "18", ""}));
    writeAll(folder.data, sound + QByteArray("\x40\0\0\0torn", 8));
    const IcsImport::Parsed result = folder.import(manyTodos(2, true));
    ASSERT_EQ(result.notices.size(), 1);
    EXPECT_TRUE(IcsImport::summary(result, Language::English)
                    .endsWith(QStringLiteral("\n\n") + result.notices[0]));
    EXPECT_TRUE(result.notices[0].contains(QStringLiteral("was damaged")))
        << result.notices[0].toStdString();
    EXPECT_EQ(storedTasks(folder.data).size(), 3u);
    EXPECT_EQ(QDir(folder.dir.path()).entryList({QStringLiteral("*.damaged*")}).size(), 1);
}

} // namespace
