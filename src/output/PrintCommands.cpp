#include "PrintCommands.h"

// Filled in with the line printer.
void printArchiveList(const TaskTable &, PrinterService &) {}
