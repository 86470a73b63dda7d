#include "IdentityMoves.h"

namespace IdentityMoves {

QList<TaskIdentities::Move> of(const UndoStep &step, bool undone)
{
    using Place = TaskIdentities::Place;
    QList<TaskIdentities::Move> moves;
    QList<std::pair<Place, QByteArray>> taken;
    for (const QByteArray &text : step.toData)
        taken.append({Place::Data, text});
    for (const QByteArray &text : step.toArchive)
        taken.append({Place::Archive, text});
    const qsizetype pairs = std::min(taken.size(), step.toBlank.size());
    for (qsizetype i = 0; i < pairs; ++i) {
        const UndoStep::Record &written = step.toBlank[i];
        const Place to = written.inArchive ? Place::Archive : Place::Data;
        if (undone)
            moves.append({to, written.text, taken[i].first, taken[i].second});
        else
            moves.append({taken[i].first, taken[i].second, to, written.text});
    }
    return moves;
}

} // namespace IdentityMoves
