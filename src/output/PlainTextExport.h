#pragma once

#include <QObject>
#include <QString>
#include <vector>

class TaskTable;
class TextViewer;

// The export "tasklyn.txt" in the user's runtime folder, shown in the
// desktop's text viewer. A viewer here opens the file a moment after it was
// started, so the file is kept until the next export or the end of the program.
class PlainTextExport : public QObject
{
    Q_OBJECT
public:
    explicit PlainTextExport(QObject *parent = nullptr);
    ~PlainTextExport() override;

    static QString exportPath();
    // The text width of every leading column whose right edge fits in `room`
    // pixels (the grid's viewport); a hidden column counts with width 0.
    static std::vector<int> shownColumnTextWidths(const std::vector<int> &columnWidths, int room);

    // Writes the table as the grid shows it (its column widths and viewport width),
    // then opens it in the viewer. Throws StoreError when the file cannot be
    // written; the viewer is then not started.
    void run(const TaskTable &table, const std::vector<int> &columnWidths, int room,
             TextViewer *viewer);

private:
    void removeLeftover();
    QString m_leftover;
};
