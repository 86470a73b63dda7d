#include "OldFormat.h"

#include "DateFormat.h"
#include "ProfileData.h"
#include "ProfileFile.h"
#include "SettingsKeys.h"
#include "StoreError.h"
#include "TaskDataFile.h"
#include "TaskRecord.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace OldFormat {

namespace {

QString read(const ProfileData &source, const QString &section, const char *key,
             const QString &def = {})
{
    return source.value(section, QString::fromLatin1(key)).value_or(def);
}

int quantity(const ProfileData &source)
{
    bool ok = false;
    const int n = source.value(Sections::Records, QStringLiteral("Quantity"))
                      .value_or(QString())
                      .trimmed()
                      .toInt(&ok);
    return ok ? n : 0;
}

TaskRow convertTask(const ProfileData &source, int n, const DateFormat &dates, const QDate &today)
{
    const QString section = QStringLiteral("Events%1").arg(n);
    TaskRow row;
    row[Col::Done] = read(source, section, "Checked") == DoneMark ? DoneMark : QStringLiteral(" ");
    row[Col::Task] = read(source, section, "Task");
    row[Col::Date] = read(source, section, "Date");
    row[Col::Hour] = read(source, section, "Time", QStringLiteral("00:00"));
    const QString priority = read(source, section, "Priority");
    row[Col::Priority] = priority == QLatin1String("0") ? QString() : priority;
    row[Col::Order] = QString::number(n);

    const QString when = row[Col::Date] + QLatin1Char(' ') + row[Col::Hour];
    const auto parsed = dates.parseDateTime(when, today);
    if (!parsed)
        throw StoreError(
            QStringLiteral("'%1' is not a valid date and time (old task [%2])").arg(when, section));
    row[Col::SortKey] = dates.formatDateTime(*parsed, QStringLiteral("yyyy-MM-dd HH:mm"));
    row[Col::Category] = read(source, section, "Type");
    row[Col::TextColor] = read(source, section, "Color", QStringLiteral("18"));

    const QString memoLines = read(source, section, "MemoLines");
    bool ok = false;
    const int lines = memoLines.trimmed().toInt(&ok);
    if (!ok)
        throw StoreError(QStringLiteral("'%1' is not a valid integer value (old task [%2])")
                             .arg(memoLines, section));
    // The count is input from a file: the lines are the NotesN keys it holds,
    // never more than it counts.
    QHash<int, QString> notes;
    int highest = -1;
    for (const auto &[key, value] : source.entries(section)) {
        bool isNumber = false;
        const int line = key.startsWith(QLatin1String("Notes"), Qt::CaseInsensitive)
                             ? key.mid(5).toInt(&isNumber)
                             : -1;
        if (!isNumber || line < 0 || line >= lines || QString::number(line) != key.mid(5) ||
            notes.contains(line))
            continue;
        notes.insert(line, value);
        highest = std::max(highest, line);
    }
    QString note;
    for (int i = 0; i <= highest; ++i)
        note += notes.value(i) + QStringLiteral("\r\n");
    row[Col::Note] = note;
    return row;
}

// The old tasks are the sections [Events0] .. [Events<Quantity-1>]; the count is
// input from a file, so only the sections present are counted up to.
int sectionsPresent(const ProfileData &source, int quantity)
{
    int present = 0;
    for (const QString &name : source.sectionNames()) {
        bool isNumber = false;
        const int n = name.startsWith(QLatin1String("Events"), Qt::CaseInsensitive)
                          ? name.mid(6).toInt(&isNumber)
                          : -1;
        if (isNumber && n >= 0 && n < quantity && QString::number(n) == name.mid(6))
            present = std::max(present, n + 1);
    }
    return present;
}

} // namespace

QList<QByteArray> ConvertOldFormat(const ProfileData &source, const DateFormat &dates,
                                   const QDate &today)
{
    QList<QByteArray> texts;
    // A section missing below the last one present is an old task with no date,
    // which stops the conversion as it always did.
    const int n = sectionsPresent(source, quantity(source));
    for (int i = 0; i < n; ++i)
        texts.append(TaskRecord::join(convertTask(source, i, dates, today)));
    return texts;
}

void EraseOldFormat(ProfileFile &settings)
{
    const int n = settings.readInteger(Sections::Records, QStringLiteral("Quantity"), 0);
    // One write for every section, however large the count the file gives.
    settings.update([n](ProfileData &data) {
        for (int i = sectionsPresent(data, n) - 1; i >= 0; --i)
            data.removeSection(QStringLiteral("Events%1").arg(i));
        data.removeSection(Sections::Records);
    });
}

bool convertAtFirstStart(const FirstStartPaths &paths, ProfileFile &settings,
                         const DateFormat &dates, const QDate &today, DamagedFiles &damaged,
                         FirstWriteOfDay *firstWrite)
{
    const QList<QByteArray> tasks =
        ConvertOldFormat(ProfileData::load(paths.settings), dates, today);
    const bool hasOldArchive = QFileInfo::exists(paths.oldArchive);
    const QList<QByteArray> archived =
        hasOldArchive ? ConvertOldFormat(ProfileData::load(paths.oldArchive), dates, today)
                      : QList<QByteArray>();

    TaskDataFile(paths.dataFile, damaged, firstWrite).writeRecords(tasks);
    const TaskDataFile archive(paths.archive, damaged, firstWrite);
    if (!QFileInfo::exists(paths.archive))
        archive.writeRecords(archived);
    else if (!archived.isEmpty())
        archive.appendRecords(archived);

    const bool converted = QFileInfo(paths.dataFile).size() > 0;
    if (hasOldArchive)
        QFile::remove(paths.oldArchive);
    EraseOldFormat(settings);
    return converted;
}

} // namespace OldFormat
