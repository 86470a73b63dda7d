// A CalDAV server's answers: a multistatus (listings, sync-collection, multiget)
// and the calendar objects it sends, read as the sync reads them; and a change
// written into such an object must read back as the change, whatever else the
// object holds.
#include "store/DateFormat.h"
#include "store/TaskFields.h"
#include "store/TaskTable.h"
#include "sync/CalendarObject.h"
#include "sync/Multistatus.h"

#include <QDate>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static const DateFormat dates;
    const QDate today(2026, 12, 9);
    const QByteArray text(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1));
    if (data[0] & 1) {
        const Multistatus::Answer answer = Multistatus::parse(text);
        if (!answer.error.isEmpty() && (!answer.responses.empty() || !answer.syncToken.isEmpty()))
            std::abort(); // a refused answer sets nothing else
        for (const Multistatus::Response &r : answer.responses)
            (void)Multistatus::pathOf(r.href);
        return 0;
    }
    const CalendarObject::Read read = CalendarObject::read(text, dates, today);
    if (read.kind != CalendarObject::Read::Task)
        return 0;
    TaskRow changed;
    changed[Col::Done] = (data[0] & 2) ? DoneMark : QStringLiteral(" ");
    changed[Col::Task] = QStringLiteral("Changed here");
    changed[Col::Date] = QStringLiteral("24/12/2026");
    changed[Col::Hour] = (data[0] & 4) ? QStringLiteral("10:30") : QString();
    changed[Col::Priority] = QStringLiteral("2");
    changed[Col::Category] = QStringLiteral("Home");
    changed[Col::TextColor] = QStringLiteral("4");
    changed[Col::Note] = QStringLiteral("line one\r\nline two");
    const QByteArray written =
        CalendarObject::patched(text, changed, (data[0] & 8) ? QByteArray("FREQ=DAILY") : read.rule,
                                dates, today, QDateTime(today, QTime(12, 0)));
    // Read as the sync reads its own tasks: one without a due date keeps its date here.
    const CalendarObject::Read back = CalendarObject::read(written, dates, QDate(2026, 12, 24));
    if (back.kind != CalendarObject::Read::Task || back.uid != read.uid ||
        !TaskFields::sameTask(back.row, changed, dates, today))
        std::abort();
    return 0;
}
