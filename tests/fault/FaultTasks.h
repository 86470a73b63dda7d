#pragma once

#include <QByteArray>
#include <QDate>
#include <array>
#include <optional>

// The tasks of the kill test. Every task carries its identity ("task 0042") in its
// text and its version ("v7") in its note; every other field follows from the
// identity, the done mark and the version, so a reader can tell a whole record of
// a known version from a torn or foreign one.
namespace FaultTasks {

inline QByteArray identity(int id)
{
    return QByteArray::number(id).rightJustified(4, '0');
}

// The ten fields as the file holds them (Latin-1 is Windows-1252 for every byte
// used here). The order field is left empty: the file's copy of it is whatever
// offset the record had when it was written. cleared: the category blanked by a
// category delete, as many blanks as it had characters.
inline std::array<QByteArray, 10> fields(int id, bool done, int version, bool cleared = false)
{
    static const char *const chores[] = {"ring the garage about the van",
                                         "pay the gas bill",
                                         "book the dentist",
                                         "water the plants",
                                         "return the library books",
                                         "renew the car insurance",
                                         "write to Aunt May",
                                         "order printer paper"};
    const QDate date = QDate(2027, 1, 1).addDays((id * 7 + version) % 400);
    const int hour = (id + version) % 24;
    const int minute = (version * 5) % 60;
    const QByteArray hhmm = QByteArray::number(hour).rightJustified(2, '0') + ':' +
                            QByteArray::number(minute).rightJustified(2, '0');
    QByteArray category =
        version % 3 == 0 ? QByteArray() : "Errands " + QByteArray::number(version % 3);
    if (cleared)
        category.fill(' ');
    // Notes of different lengths, so records differ in size as real ones do.
    const QByteArray note = "note " + identity(id) + " v" + QByteArray::number(version) + "\r\n" +
                            QByteArray("call before noon; ").repeated((id + version) % 5);
    return {done ? QByteArray("\xD7") : QByteArray(" "),
            "task " + identity(id) + ' ' + chores[id % 8],
            date.toString(QStringLiteral("dd/MM/yyyy")).toLatin1(),
            hhmm,
            QByteArray::number((id + version) % 6),
            QByteArray(),
            date.toString(QStringLiteral("yyyy-MM-dd")).toLatin1() + ' ' + hhmm,
            category,
            QByteArray::number((id + version) % 19),
            note};
}

// A category field that a category delete blanked.
inline bool isCleared(const QByteArray &categoryField)
{
    return !categoryField.isEmpty() && categoryField.count(' ') == categoryField.size();
}

// "task 0042 ..." -> 42 (imported tasks have five digits)
inline std::optional<int> identityOf(const QByteArray &taskField)
{
    const int end = int(taskField.indexOf(' ', 5));
    if (!taskField.startsWith("task ") || end < 9)
        return std::nullopt;
    bool ok = false;
    const int id = taskField.mid(5, end - 5).toInt(&ok);
    return ok ? std::optional<int>(id) : std::nullopt;
}

// Tasks from this identity on come in by imports, a batch at a time.
constexpr int FirstImported = 10000;

// "note 0042 v7\r\n..." -> 7
inline std::optional<int> versionOf(const QByteArray &noteField)
{
    const int v = int(noteField.indexOf(" v"));
    const int end = int(noteField.indexOf('\r'));
    if (v < 0 || end < v)
        return std::nullopt;
    bool ok = false;
    const int version = noteField.mid(v + 2, end - v - 2).toInt(&ok);
    return ok ? std::optional<int>(version) : std::nullopt;
}

} // namespace FaultTasks
