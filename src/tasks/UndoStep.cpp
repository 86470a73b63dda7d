#include "UndoStep.h"

#include "store/TaskRecord.h"

namespace UndoRecords {

QByteArray withoutOrder(const QByteArray &text)
{
    // The order field lies between the fifth and the sixth separator.
    qsizetype from = -1;
    for (int k = 0; k < 5; ++k) {
        from = text.indexOf(FieldSeparator, from + 1);
        if (from < 0)
            return text;
    }
    const qsizetype to = text.indexOf(FieldSeparator, from + 1);
    return to < 0 ? text.left(from + 1) : text.left(from + 1) + text.mid(to);
}

qint64 find(const QByteArray &fileBytes, const UndoStep::Record &record, const QList<qint64> &taken)
{
    const QByteArray wanted = withoutOrder(record.text);
    auto matches = [&](qint64 pos, const QByteArray &text) {
        return !taken.contains(pos) && !TaskRecord::isBlank(text) && withoutOrder(text) == wanted;
    };
    if (record.offset >= 0 && record.offset < fileBytes.size()) {
        const std::optional<QByteArray> text = TaskRecord::textAt(fileBytes, record.offset);
        if (text && matches(record.offset, *text))
            return record.offset;
    }
    qint64 pos = 0;
    while (const std::optional<QByteArray> text = TaskRecord::textAt(fileBytes, pos)) {
        if (matches(pos, *text))
            return pos;
        pos += 4 + text->size();
    }
    return -1;
}

} // namespace UndoRecords
