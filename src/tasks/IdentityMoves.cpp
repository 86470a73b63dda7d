#include "IdentityMoves.h"

namespace IdentityMoves {

QList<TaskIdentities::Move> of(const UndoStep &step, bool undone)
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
    // A category delete rewrites its records in place.
    for (const UndoStep::Rewrite &r : step.toRewrite)
        move(Place::Data, r.then, Place::Data, r.now);
    return moves;
}

} // namespace IdentityMoves
