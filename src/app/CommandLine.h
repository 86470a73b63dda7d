#pragma once

#include <optional>

// The commands of the command line, for scripts and tests; none needs a display:
//   nudgery --export-ics FILE
//   nudgery --import-ics FILE
//   nudgery --sync-setup URL [--user NAME] [--calendar NAME]   (password on stdin)
//   nudgery --sync
namespace CommandLine {

// The exit status of the command the arguments name, or none: the window.
std::optional<int> run(int argc, char *argv[]);

} // namespace CommandLine
