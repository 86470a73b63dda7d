#include "PrintCommands.h"

#include "LinePrinter.h"
#include "platform/Services.h"
#include "store/StoreError.h"
#include "tasks/TaskListings.h"

#include <QApplication>
#include <QPrinter>

std::unique_ptr<QPrinter> selectDefaultPrinter(PrinterService *printers)
{
    std::unique_ptr<QPrinter> printer = printers ? printers->defaultPrinter() : nullptr;
    if (!printer)
        throw StoreError(QStringLiteral("There is no default printer currently selected"));
    return printer;
}

void printLines(PrinterService *printers, const QString &jobTitle, const QStringList &lines)
{
    LinePrinter out(selectDefaultPrinter(printers), jobTitle);
    // The window is blocked until the job is with the print queue.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        out.open();
        for (const QString &line : lines)
            out.writeLine(line);
        out.close();
    } catch (...) {
        QApplication::restoreOverrideCursor();
        throw;
    }
    QApplication::restoreOverrideCursor();
}

void printTaskList(const TaskTable &table, PrinterService *printers)
{
    printLines(printers, QStringLiteral("Nudgery"), Listing::mainList(table));
}

void printArchiveList(const TaskTable &archive, PrinterService &printers)
{
    printLines(&printers, QStringLiteral("Nudgery archive"), Listing::archiveList(archive));
}
