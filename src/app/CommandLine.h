#pragma once

#include <QString>

#include <optional>

// The commands of the command line, for scripts and tests; none needs a display:
//   nudgery --export-ics FILE
//   nudgery --import-ics FILE
//   nudgery --sync-setup URL [--user NAME] [--calendar NAME]   (password on stdin)
//   nudgery --sync
namespace CommandLine {

// The exit status of the command the arguments name, or none: the window.
std::optional<int> run(int argc, char *argv[]);

// Before anything reads the files, with no other copy running: an import cut
// short by a kill is taken back, a day's backup cut short is finished, then a
// restore cut short is finished or undone
// (a restore comes after any import that a start has not yet taken back, and
// replaces the files whole).
void recoverCutShortSteps(const QString &folder);

} // namespace CommandLine
