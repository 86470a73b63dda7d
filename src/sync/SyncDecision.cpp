#include "SyncDecision.h"

#include "store/TaskFields.h"

namespace SyncDecision {

namespace {

using TaskFields::Field;

Outcome merge(const std::optional<TaskRow> &base, const TaskRow &local, const TaskRow &remote,
              const DateFormat &dates, const QDate &today)
{
    Outcome out;
    TaskRow merged = local;
    bool conflict = false;
    bool fromLocal = false;
    bool fromRemote = false;
    for (const Field f : TaskFields::All) {
        if (TaskFields::same(f, local, remote, dates, today))
            continue;
        // Without a base every difference is a change on both sides.
        const bool here = !base || !TaskFields::same(f, local, *base, dates, today);
        const bool there = !base || !TaskFields::same(f, remote, *base, dates, today);
        if (there) {
            TaskFields::take(f, merged, remote);
            fromRemote = true;
            conflict = conflict || here;
        } else {
            fromLocal = true;
        }
    }
    if (fromRemote)
        out.local = merged;
    if (fromLocal)
        out.remote = merged;
    out.merged = fromLocal && fromRemote;
    if (conflict)
        out.conflictCopy = local;
    return out;
}

} // namespace

Outcome decide(const Case &c, const DateFormat &dates, const QDate &today)
{
    Outcome out;
    const auto unchangedHere = [&] {
        return c.base && TaskFields::sameTask(c.local, *c.base, dates, today);
    };
    switch (c.here) {
    case Here::Live:
        switch (c.there) {
        case There::Same:
            if (unchangedHere())
                return out;
            if (c.base) {
                out.remote = c.local;
                return out;
            }
            return merge(c.base, c.local, c.remote, dates, today);
        case There::Changed:
            if (unchangedHere()) {
                if (!TaskFields::sameTask(c.local, c.remote, dates, today))
                    out.local = c.remote;
                return out;
            }
            return merge(c.base, c.local, c.remote, dates, today);
        case There::Gone:
            if (unchangedHere() && !c.restored) {
                out.removeLocal = true;
                out.forget = true;
                return out;
            }
            [[fallthrough]]; // a change beats the delete
        case There::Unknown:
            out.remote = c.local;
            out.createRemote = true;
            return out;
        }
        break;
    case Here::Archived:
        // The archive takes a task off the server; a change made there meanwhile
        // brings it back here.
        if (c.there == There::Same)
            out.deleteRemote = true;
        else if (c.there == There::Changed)
            out.local = c.remote;
        return out;
    case Here::Gone:
        switch (c.there) {
        case There::Same:
            // Never in step (an interrupted download) or brought back by a restore:
            // fetched again. Else deleted here, so deleted there.
            if (!c.base || c.restored) {
                out.local = c.remote;
            } else {
                out.deleteRemote = true;
                out.forget = true;
            }
            return out;
        case There::Changed:
            out.local = c.remote; // a change beats the delete
            return out;
        case There::Gone:
        case There::Unknown:
            out.forget = true;
            return out;
        }
        break;
    }
    return out;
}

} // namespace SyncDecision
