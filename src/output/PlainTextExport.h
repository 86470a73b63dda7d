#pragma once

#include <QObject>
#include <QString>
#include <vector>

class TaskGrid;
class TaskTable;
class TextViewer;

// The export "tasklyn.txt" in the system's temporary folder, shown in the
// desktop's text viewer. A viewer here opens the file a moment after it was
// started, so the file is kept until the next export or the end of the program.
class PlainTextExport : public QObject
{
    Q_OBJECT
public:
    explicit PlainTextExport(QObject *parent = nullptr);
    ~PlainTextExport() override;

    static QString exportPath();
    // The text width of every leading column whose right edge fits the grid's
    // viewport; a hidden column counts with width 0.
    static std::vector<int> shownColumnTextWidths(const TaskGrid &grid);

    // Writes the table as the grid shows it, then opens it in the viewer.
    // Throws StoreError when the file cannot be written; the viewer is then not started.
    void run(const TaskTable &table, const TaskGrid &grid, TextViewer *viewer);

private:
    void removeLeftover();
    QString m_leftover;
};
