#pragma once

class PrinterService;
class TaskTable;
class QWidget;

// The archive viewer's list print-out on the default printer (job "Nudgery
// archive"). Throws StoreError "There is no default printer currently selected"
// when there is none.
void printArchiveList(const TaskTable &archive, PrinterService &printers);
