#pragma once

#include "UndoStep.h"
#include "store/TaskIdentities.h"

#include <QList>

// The records a change wrote in place of others, as the side file of identities
// follows them: a change's undo step pairs each record it took away (to append
// again on undo) with the one it wrote (to blank on undo), in the same order.
namespace IdentityMoves {
// undone: the step was taken back, so its records moved the other way. dataFile:
// the task data file's bytes as the step (or its undo) left them, read only for a
// category delete, whose records change in place.
QList<TaskIdentities::Move> of(const UndoStep &step, bool undone, const QByteArray &dataFile = {});
} // namespace IdentityMoves
