#pragma once

#include "UndoStep.h"
#include "store/TaskIdentities.h"

#include <QList>

// The records a change wrote in place of others, as the side file of identities
// follows them: a change's undo step pairs each record it took away (to append
// again on undo) with the one it wrote (to blank on undo), in the same order.
namespace IdentityMoves {
// undone: the step was taken back, so its records moved the other way.
// clearedTexts: for a category delete, whose records change in place, the text of
// each record in step.cleared as the step (or its undo) left it, in that order.
QList<TaskIdentities::Move> of(const UndoStep &step, bool undone,
                               const QList<QByteArray> &clearedTexts = {});
} // namespace IdentityMoves
