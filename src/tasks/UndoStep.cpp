#include "UndoStep.h"

#include "store/TaskRow.h"

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

} // namespace UndoRecords
