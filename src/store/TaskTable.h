#pragma once

#include "TaskRow.h"

#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

inline const QString DoneMark = QString(QChar(0xD7));        // "×"
inline const QString AllItems = QStringLiteral("All Items"); // the unfiltered view
// Shown for a task whose task text is blank; never written to a file.
inline const QString NoTaskText = QStringLiteral("(no task text)");

// The task grid's data: ten text columns, row 0 the header, rows 1 .. rowCount()-1
// the tasks. An empty table is the header plus one all-empty row; whether the
// table is empty is decided by one test, isEmpty().
class TaskTable : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit TaskTable(QObject *parent = nullptr);

    // The grid's own row count: the header counts.
    int rowCount() const { return int(m_rows.size()); }
    int rowCount(const QModelIndex &parent) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // A loaded row's cells are decoded from its record at every read and never
    // kept: a pass over every row costs no memory, and the table stays close to
    // the size of its file.
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);
    // A cell as its file stores it (Windows-1252, a byte per character), not
    // copied from a loaded row: valid until the table changes. None for a cell
    // holding a character the code page lacks.
    std::optional<QByteArray> cellBytes(int col, int row) const;
    // Every cell of a row.
    TaskRow row(int r) const;
    void setRow(int r, const TaskRow &values);
    // Grows or shrinks the table; new rows are empty. Never below 2.
    void setRowCount(int count);

    // Row 1 is the all-empty row (a task whose text is blank still counts).
    bool isEmpty() const;
    // The task text as the windows show it: the placeholder when it is blank.
    QString shownTask(int row) const;
    // row count - 1, or 0 when the table is empty.
    int taskCount() const;

    // Clears every task row and leaves header + one empty row.
    void clearTasks();
    // Replaces every task row at once; an empty list leaves the empty table.
    void setTasks(std::vector<TaskRow> &&rows);

    // A task row still held as its record text in a loaded file's bytes: cells are
    // decoded when first read, so a load costs little more than reading the file.
    struct RawRow
    {
        qint64 offset = 0;    // the record's offset in its file: the row's order
        qint32 textStart = 0; // the record text within the file's bytes
        qint32 textLength = 0;
    };
    // Replaces every task row by the rows next gives, one a call, until it returns
    // false; they point into fileBytes, which the table keeps.
    void setLoadedTasks(QByteArray &&fileBytes,
                        const std::function<bool(const QByteArray &, RawRow &)> &next);
    // A task row put in at row at (1 .. rowCount()); into an empty table it
    // takes the place of the empty row.
    void insertTask(int at, const TaskRow &values);
    // Takes out the task rows top .. bottom; taking out all leaves the empty table.
    void removeTasks(int top, int bottom);
    // Takes out every task row r whose gone[r] is set.
    void removeTasks(const std::vector<bool> &gone);
    // Task rows put in after the last, in one step.
    void appendTasks(std::vector<TaskRow> &&rows);
    // The task row whose order names each offset, 0 where none does: one pass
    // over the rows.
    std::vector<int> rowsAt(const std::vector<qint64> &offsets) const;
    // A category field changed in place in the file, keeping its length: the
    // record at each (offset, field start) that reads `before` there reads
    // `after`, in the loaded bytes and in the cells of a row that owns them.
    // Views learn of it from announceChanged().
    void rewriteCategories(const std::vector<std::pair<qint64, qint32>> &fields,
                           const QByteArray &before, const QByteArray &after);
    // Tells views that any cell of any task row may have changed.
    void announceChanged();
    // False only when the row's record does not hold these bytes (Windows-1252)
    // anywhere: a quick test that spares decoding the cells of a row that cannot
    // match. A row that owns its cells may match.
    bool mayContain(int row, const QByteArray &bytes) const;
    // Whether the row's category reads these bytes (Windows-1252), as a load
    // with that filter would find it.
    bool hasCategory(int row, const QByteArray &bytes) const;
    // Whether the row's order cell reads as this number, without decoding the row.
    bool holdsOrder(int row, qint64 offset) const;
    // The offset a row's order names, without decoding the row.
    qint64 recordOffset(int row) const;

    // A filter's view of the loaded rows: the task rows keep() refuses are set
    // aside, with where each stood, and the others keep their order.
    void setAside(const std::function<bool(int row)> &keep);
    // The rows set aside put back where they stood: the table as before setAside.
    // False, with nothing done, when none are aside or the rows changed since.
    bool bringBack();
    // The rows set aside are let go (what they show may be out of date).
    void dropAside() { m_aside.reset(); }

    // How the last sort left the rows: by which column, which way, and where each
    // run of rows with equal keys begins (starts[j] for task row j + 1). Forgotten
    // at any other change of the rows: no column then.
    struct SortRuns
    {
        int column = -1;
        bool ascending = true;
        std::vector<bool> starts;
    };
    const SortRuns &sortRuns() const { return m_runs; }

    // Moves whole task rows: newOrder[j] is the row (1-based task row) that
    // becomes row j + 1. Used by the sort routine, which tells the runs it left.
    void permuteTasks(const std::vector<int> &newOrder, SortRuns runs);

    // The record a compacting save writes for a task row: its cells joined, the
    // order being where the record is now. A row unchanged since the load is
    // copied from its record's bytes.
    QByteArray recordText(int row) const;
    // The same record, its length before it, put at the end of out; with
    // midnightForBlankHour, a blank hour written as "00:00".
    void appendRecord(int row, QByteArray &out, bool midnightForBlankHour = false) const;

    void setHeader(int col, const QString &caption) { setCell(col, 0, caption); }
    QString header(int col) const { return cell(col, 0); }

private:
    struct Row
    {
        // The row's own cells once it was set or changed; until then its record
        // in the loaded bytes (no record: an all-empty row).
        std::unique_ptr<TaskRow> cells;
        RawRow raw;
    };
    QByteArray rawText(const Row &row) const;
    // The offset the row's order names; -1 for none (an empty row, a text).
    static qint64 offsetOrNone(const Row &row);
    TaskRow &ownCells(int r);

    // The rows changed: what the last sort and the last setAside knew is gone.
    void forgetOrder();

    std::vector<Row> m_rows;
    QByteArray m_bytes; // the file the raw rows point into
    SortRuns m_runs;
    // Rows set aside by a filter, in the order they stood, and where each stood.
    struct Aside
    {
        std::vector<Row> rows;
        std::vector<int> places;
        bool noneKept = false; // the empty row stands for the rows kept
    };
    std::unique_ptr<Aside> m_aside;
    bool m_settingAside = false;
};

// "Nudgery   [ tasks: N ]"
QString taskCountCaption(const TaskTable &table);
