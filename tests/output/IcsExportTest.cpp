// The due dates of the iCalendar export, from a task file written by hand.
#include "output/IcsExport.h"

#include "common/Fakes.h"
#include "common/TestFiles.h"
#include "store/DateFormat.h"

#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace TestFiles;

namespace {

// The DUE line of every VTODO in file order, empty for a VTODO without one.
QStringList dueLines(const QByteArray &calendar)
{
    QStringList due;
    const QString text = QString::fromUtf8(calendar);
    for (const QString &todo : text.split(QStringLiteral("BEGIN:VTODO")).mid(1)) {
        QString line;
        for (const QString &l : todo.split(QStringLiteral("\r\n")))
            if (l.startsWith(QLatin1String("DUE")))
                line = l;
        due << line;
    }
    return due;
}

TEST(IcsExport, shouldTakeDueDatesFromTheSortKeyWhateverTheLocaleOfTheDesktop)
{
    struct Task
    {
        QByteArray date, hour, sortKey;
        const char *due; // as exported, in every locale; "" for none
    };
    // The file as an en_GB desktop wrote it: day first.
    const Task tasks[] = {
        {"10/12/2026", "09:30", "2026-12-10 09:30", "DUE:20261210T093000"},
        {"03/01/2027", "", "2027-01-03 00:00", "DUE;VALUE=DATE:20270103"},
        // Another time separator in the key still reads.
        {"04/01/2027", "18.05", "2027-01-04 18.05", "DUE:20270104T180500"},
        // A key that does not read: the date text in the format in force, below.
        {"05/02/2027", "07:00", "garbled", nullptr},
        {"not a date", "07:00", "", ""},
    };
    QTemporaryDir dir;
    const QString data = dir.filePath(QStringLiteral("Tasklyn.DAT"));
    QByteArray bytes;
    for (const Task &t : tasks)
        bytes += record(
            fields({"", "Task " + t.date, t.date, t.hour, "", "0", t.sortKey, "", "18", ""}));
    writeAll(data, bytes);

    struct Desktop
    {
        const char *name;
        DateFormat dates;
        const char *fallbackDue; // the fourth task's, read from its date text
    };
    const Desktop desktops[] = {
        {"en_GB", DateFormat::fromLocale(QLocale(QStringLiteral("en_GB"))), "DUE:20270205T070000"},
        {"en_US", DateFormat::fromLocale(QLocale(QStringLiteral("en_US"))), "DUE:20270502T070000"},
        {"de_DE", DateFormat::fromLocale(QLocale(QStringLiteral("de_DE"))), "DUE:20270205T070000"},
    };
    const FakeClock clock;
    for (const Desktop &d : desktops) {
        SCOPED_TRACE(d.name);
        const QString out = dir.filePath(QStringLiteral("out.ics"));
        QString error;
        ASSERT_EQ(IcsExport::exportFile(data, {}, out, d.dates, clock, &error), 5)
            << error.toStdString();
        QStringList expected;
        for (const Task &t : tasks)
            expected << QString::fromLatin1(t.due ? t.due : d.fallbackDue);
        EXPECT_EQ(dueLines(readAll(out)).join(u'|').toStdString(),
                  expected.join(u'|').toStdString());
    }
}

TEST(IcsExport, shouldReadOnlyRealDatesAndTimesAsASortKey)
{
    const struct
    {
        const char *key;
        QDateTime read; // invalid: not a sort key
    } cases[] = {
        {"2026-12-10 09:30", QDateTime(QDate(2026, 12, 10), QTime(9, 30))},
        {"2026-12-10 23.59", QDateTime(QDate(2026, 12, 10), QTime(23, 59))},
        {"2028-02-29 00:00", QDateTime(QDate(2028, 2, 29), QTime(0, 0))},
        {"2027-02-29 00:00", {}},
        {"2026-13-01 00:00", {}},
        {"2026-12-10 24:00", {}},
        {"2026-12-10 09:60", {}},
        {"2026-12-10 09:3", {}},
        {"2026-12-10 0930", {}},
        {"2026/12/10 09:30", {}},
        {"0000-01-01 00:00", {}},
        {"", {}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.key);
        const std::optional<QDateTime> read = DateFormat::parseSortKey(QString::fromLatin1(c.key));
        EXPECT_EQ(read.value_or(QDateTime()), c.read);
    }
}

} // namespace
