#pragma once

#include "store/TaskRow.h"

#include <QDate>
#include <optional>

class DateFormat;

// What a sync does with one task, from where it stands here and on the server
// since the two were last in step. Nothing is lost: a change beats a delete on
// the other side; a field changed on one side only is taken from that side; a
// field changed on both sides takes the server's value, and the version here is
// kept beside it as a conflict copy.
namespace SyncDecision {

enum class Here { Live, Archived, Gone };
// Same: as last seen there; Unknown: not there as far as this program knows
// (never sent, or the calendar is another one).
enum class There { Same, Changed, Gone, Unknown };

struct Case
{
    std::optional<TaskRow> base; // the task when both sides were last in step; none: never
    Here here = Here::Live;
    TaskRow local; // the task here (Live)
    There there = There::Same;
    TaskRow remote; // the server's task (Same, Changed)
    // The files were put back from a backup: nothing is deleted on either side.
    bool restored = false;
};

struct Outcome
{
    // The task here becomes this (Live), or comes back as a live task (Archived, Gone).
    std::optional<TaskRow> local;
    bool removeLocal = false;
    // The server's copy becomes this (its other properties kept); made anew when
    // it is not there.
    std::optional<TaskRow> remote;
    bool createRemote = false;
    bool deleteRemote = false;
    // Neither side holds the task any more (or will not, once the delete is done).
    bool forget = false;
    // The version here, kept as a task of its own: a field of it changed on both sides.
    std::optional<TaskRow> conflictCopy;
    bool merged = false; // changes of both sides went into one
};

Outcome decide(const Case &c, const DateFormat &dates, const QDate &today);

} // namespace SyncDecision
