// An object a server sent, changed here and sent back: it keeps the UID the sync
// knows it by, whatever bytes the server put into that UID.
#include "sync/CalendarObject.h"
#include "store/DateFormat.h"
#include "store/TaskTable.h"

#include <QDate>
#include <gtest/gtest.h>

TEST(CalendarObjectTest, shouldKeepTheUidItWasReadByWhenChangedHereWhateverBytesTheUidHolds)
{
    const DateFormat dates;
    const QDate today(2026, 12, 9);
    const QByteArray uids[] = {
        "plain-1",
        "Caf\xc3\x0c\x0c\xa9 with form feeds inside its last character",
        "a stray\rCR",
        "a tab\tand a DEL\x7f",
        "\xff\xfe not UTF-8",
    };
    for (const QByteArray &uid : uids) {
        const QByteArray object = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//x//y//EN\r\n"
                                  "BEGIN:VTODO\r\nUID:" +
                                  uid + "\r\nSUMMARY:Buy milk\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
        const CalendarObject::Read read = CalendarObject::read(object, dates, today);
        ASSERT_EQ(read.kind, CalendarObject::Read::Task) << uid.toStdString();
        TaskRow changed = read.row;
        changed[Col::Task] = QStringLiteral("Buy bread");
        const QByteArray written = CalendarObject::patched(object, changed, read.rule, dates, today,
                                                           QDateTime(today, QTime(12, 0)));
        const CalendarObject::Read back = CalendarObject::read(written, dates, today);
        EXPECT_EQ(back.uid, read.uid) << uid.toStdString();
        EXPECT_EQ(back.row[Col::Task], QStringLiteral("Buy bread")) << uid.toStdString();
    }
}
