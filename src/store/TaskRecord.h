#pragma once

#include "TaskRow.h"

#include <QByteArray>
#include <QString>
#include <QtEndian>
#include <array>
#include <optional>

// A task record's text: a task row's ten fields in Windows-1252, joined by the
// FieldSeparator byte.
// In a record file each text follows its length, 32 bits little-endian.
namespace TaskRecord {

QByteArray join(const TaskRow &row);
// join(split(text)) with the order field set to order, made from text's bytes;
// false (out untouched) when text has not exactly ten fields.
bool withOrder(const QByteArray &text, qint64 order, QByteArray &out);
// The same record, its length before it, put at the end of out.
// midnightForBlankHour: an hour field of blanks only is written as "00:00".
bool appendWithOrder(const QByteArray &text, qint64 order, QByteArray &out,
                     bool midnightForBlankHour = false);
// Whether a field's bytes are blanks only: spaces and the like, as trimmed()
// takes away from the text they stand for (0xA0 is the no-break space).
bool isBlankField(const QByteArray &bytes);
// More than ten fields: see split in the source.
TaskRow split(const QByteArray &text);
// One field of a record text, as split would give it.
QString field(const QByteArray &text, int col);
// That field's bytes, not copied (text must outlive them); none for a record of
// more than ten fields, whose fields split reads by the older release's rules.
std::optional<QByteArray> fieldBytes(const QByteArray &text, int col);
// Every field's bytes in one pass, the same way.
std::optional<std::array<QByteArray, Col::Count>> allFieldBytes(const QByteArray &text);

// Where a record text keeps its category: the third field from the end.
struct Span
{
    qsizetype from = 0;
    qsizetype to = 0;
    // The spanned bytes of text, not copied: text must outlive them.
    QByteArray in(const QByteArray &text) const;
};
Span categorySpan(const QByteArray &text);
// Whether categorySpan(text) is from .. to: most often seen from the fields
// around it, without a pass over the whole record.
bool categoryIsAt(const QByteArray &text, qsizetype from, qsizetype to);
QString category(const QByteArray &text);
// Where text keeps its category when that reads name (Windows-1252); none when
// it reads otherwise. A record without name's bytes whole between separators is
// passed over without its fields being found. The search starts at from, where
// the caller knows no earlier copy of the bytes stands.
std::optional<Span> categoryNamed(const QByteArray &text, const QByteArray &name,
                                  qsizetype from = 0);

// A sort key's shape: "yyyy-MM-dd HH:mm", whatever the time separator was.
bool isSortKey(const QByteArray &field);

// A blanked (deleted) record: nothing above a space.
bool isBlank(const QByteArray &text);
// Whether the task text (the second field) is empty or blanks, without decoding it.
bool taskFieldIsBlank(const QByteArray &text);

// The order cell as an offset; throws "'<text>' is not a valid integer value".
qint64 orderOffset(const QString &orderText);

QByteArray lengthPrefix(qint64 length);
// The length in the four bytes at prefix (little-endian); inline, as every walk
// over a file's records asks it of each.
inline qint32 readLength(const char *prefix)
{
    return qFromLittleEndian<qint32>(prefix);
}
// The text of the record at pos in a file's bytes, not copied: bytes must outlive
// it. None when the bytes there are no whole record (damage).
std::optional<QByteArray> textAt(const QByteArray &bytes, qint64 pos);

} // namespace TaskRecord
