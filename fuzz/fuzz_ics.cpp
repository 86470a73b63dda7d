// The iCalendar import: the guards, libical's parse and the mapping of every VTODO
// to a task record, as File > Import and --import-ics run them (without the write).
#include "output/IcsImport.h"
#include "store/DateFormat.h"
#include "store/TaskRecord.h"

#include <QDate>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const DateFormat dates;
    const QByteArray text(reinterpret_cast<const char *>(data), qsizetype(size));
    const IcsImport::Parsed result = IcsImport::parse(text, dates, QDate(2026, 12, 9));
    // Every task must make a whole record that reads back as the same ten fields.
    for (const TaskRow &row : result.tasks)
        if (TaskRecord::split(TaskRecord::join(row)) != row)
            std::abort();
    (void)IcsImport::summary(result, Language::English);
    (void)IcsImport::summary(result, Language::Portuguese);
    return 0;
}
