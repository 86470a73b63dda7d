#include "PlainTextExport.h"

#include "platform/Services.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"
#include "tasks/TaskListings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

PlainTextExport::PlainTextExport(QObject *parent) : QObject(parent)
{
    if (QCoreApplication::instance())
        connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
                &PlainTextExport::removeLeftover);
}

PlainTextExport::~PlainTextExport()
{
    removeLeftover();
}

QString PlainTextExport::exportPath()
{
    // A folder of the user's own: in the shared temporary folder another account's
    // file of that name could neither be written through nor removed.
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/tasklyn.txt");
}

std::vector<int> PlainTextExport::shownColumnTextWidths(const std::vector<int> &columnWidths,
                                                        int room)
{
    std::vector<int> widths;
    int right = 0;
    for (const int width : columnWidths) {
        right += width;
        if (right > room)
            break;
        widths.push_back(Listing::exportTextWidth(width));
    }
    return widths;
}

void PlainTextExport::run(const TaskTable &table, const std::vector<int> &columnWidths, int room,
                          TextViewer *viewer)
{
    removeLeftover();
    const QString path = exportPath();
    // A file of that name left by someone else is replaced, never written through
    // (the temporary folder is shared): if it cannot be removed, creation fails.
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        throw StoreError::cannotCreate(QDir::toNativeSeparators(path), file.errorString());
    m_leftover = path;
    const QByteArray bytes =
        Listing::exportBytes(Listing::exportList(table, shownColumnTextWidths(columnWidths, room)));
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        file.close();
        removeLeftover();
        throw StoreError::unableToWrite(QDir::toNativeSeparators(path));
    }
    file.close();
    // Whether the viewer starts is not reported.
    if (viewer)
        viewer->openFile(path);
}

void PlainTextExport::removeLeftover()
{
    if (m_leftover.isEmpty())
        return;
    QFile::remove(m_leftover);
    m_leftover.clear();
}
