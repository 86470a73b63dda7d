#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class PrinterService;
class QPrinter;
class TaskTable;

// The system's default printer; throws StoreError "There is no default printer
// currently selected" when there is none (or no printer service at all).
std::unique_ptr<QPrinter> selectDefaultPrinter(PrinterService *printers);

// Prints lines as one job titled jobTitle on the default printer, no dialog.
void printLines(PrinterService *printers, const QString &jobTitle, const QStringList &lines);

// The main window's task list print-out (job "Nudgery").
void printTaskList(const TaskTable &table, PrinterService *printers);

// The archive viewer's list print-out on the default printer (job "Nudgery
// archive"). Throws StoreError "There is no default printer currently selected"
// when there is none.
void printArchiveList(const TaskTable &archive, PrinterService &printers);
