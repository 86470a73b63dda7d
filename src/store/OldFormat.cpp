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
    QString note;
    for (int i = 0; i < lines; ++i)
        note += read(source, section, QStringLiteral("Notes%1").arg(i).toLatin1().constData()) +
                QStringLiteral("\r\n");
    row[Col::Note] = note;
    return row;
}

} // namespace

QList<QByteArray> ConvertOldFormat(const ProfileData &source, const DateFormat &dates,
                                   const QDate &today)
{
    QList<QByteArray> texts;
    const int n = quantity(source);
    texts.reserve(qMax(n, 0));
    for (int i = 0; i < n; ++i)
        texts.append(TaskRecord::join(convertTask(source, i, dates, today)));
    return texts;
}

void EraseOldFormat(ProfileFile &settings)
{
    const int n = settings.readInteger(Sections::Records, QStringLiteral("Quantity"), 0);
    for (int i = n - 1; i >= 0; --i)
        settings.eraseSection(QStringLiteral("Events%1").arg(i));
    settings.eraseSection(Sections::Records);
}

bool convertAtFirstStart(const FirstStartPaths &paths, ProfileFile &settings,
                         const DateFormat &dates, const QDate &today, DamagedFiles &damaged)
{
    const QList<QByteArray> tasks =
        ConvertOldFormat(ProfileData::load(paths.settings), dates, today);
    const bool hasOldArchive = QFileInfo::exists(paths.oldArchive);
    const QList<QByteArray> archived =
        hasOldArchive ? ConvertOldFormat(ProfileData::load(paths.oldArchive), dates, today)
                      : QList<QByteArray>();

    TaskDataFile(paths.dataFile, damaged).writeRecords(tasks);
    const TaskDataFile archive(paths.archive, damaged);
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
