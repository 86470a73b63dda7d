#include "IdentityMoves.h"

#include "store/Win1252.h"

namespace IdentityMoves {

QList<TaskIdentities::Move> of(const UndoStep &step, bool undone, const QByteArray &dataFile)
{
    using Place = TaskIdentities::Place;
    const auto placeOf = [](const UndoStep::Record &r) {
        return r.inArchive ? Place::Archive : Place::Data;
    };
    QList<TaskIdentities::Move> moves;
    const auto move = [&](Place from, const QByteArray &fromText, Place to,
                          const QByteArray &toText) {
        if (undone)
            moves.append({to, toText, from, fromText});
        else
            moves.append({from, fromText, to, toText});
    };
    // An edit, a tick, an archive or an unarchive: each record taken away (appended
    // again on undo) pairs with the one written for it (blanked on undo). An add, a
    // delete or an import has one side only and moves nothing.
    const qsizetype pairs = std::min(step.toAppend.size(), step.toBlank.size());
    for (qsizetype i = 0; i < pairs; ++i) {
        const UndoStep::Record &taken = step.toAppend[i];
        const UndoStep::Record &written = step.toBlank[i];
        move(placeOf(taken), taken.text, placeOf(written), written.text);
    }
    // A category delete blanks the name in place, with as many spaces: each record
    // reads the same with the name or the blanks over its field.
    const QByteArray name = Win1252::encode(step.category);
    const QByteArray blanks(name.size(), ' ');
    for (const TaskDataFile::ClearedField &c : step.cleared) {
        const qint64 start = c.offset + 4;
        if (start + c.textLength > dataFile.size() || c.from + name.size() > c.textLength)
            continue; // not where the step left it: the next sync sees a new task
        QByteArray withName = dataFile.mid(start, c.textLength);
        QByteArray blanked = withName;
        withName.replace(c.from, name.size(), name);
        blanked.replace(c.from, blanks.size(), blanks);
        move(Place::Data, withName, Place::Data, blanked);
    }
    return moves;
}

} // namespace IdentityMoves
