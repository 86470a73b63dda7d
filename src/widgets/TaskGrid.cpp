#include "TaskGrid.h"

#include <QKeyEvent>

#include "TaskGridDelegate.h"
#include "TaskGridHeader.h"
#include "TaskGridModel.h"
#include "store/Clock.h"
#include "store/DateFormat.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QTextDocument>
#include <QToolTip>
#include <algorithm>
#include <array>

namespace {
// Widths of columns 0-4 when the grid is created.
constexpr std::array<int, 5> CreationWidths = {12, 206, 61, RowGridView::DesignedHourWidth, 12};
constexpr int FirstDataOnlyColumn = Col::Order;

const QString NoNoteHint = QStringLiteral("[no note..]");

QString gridIndexOutOfRange()
{
    return QStringLiteral("Grid index out of range");
}
} // namespace

TaskGrid::TaskGrid(QWidget *parent)
    : RowGridView(new TaskGridModel, DefaultRowHeight, DefaultHeaderHeight, parent),
      m_delegate(new TaskGridDelegate(this))
{
    setItemDelegate(m_delegate);
    setSelectionMode(ContiguousSelection);

    // Notes show as tooltips while the mouse merely moves over the rows.
    viewport()->setMouseTracking(true);
    header()->viewport()->setMouseTracking(true);

    for (int c = 0; c < int(CreationWidths.size()); ++c)
        header()->resizeSection(c, CreationWidths[size_t(c)]);
    for (int c = FirstDataOnlyColumn; c < Col::Count; ++c)
        header()->setSectionHidden(c, true);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { emit currentCellChanged(); });
}

TaskGrid::~TaskGrid() = default;

void TaskGrid::setTable(TaskTable *table)
{
    m_delegate->setTable(table);
    setSourceTable(table);
}

void TaskGrid::setDateServices(const DateFormat *dates, const Clock *clock)
{
    m_dates = dates;
    m_clock = clock;
    m_delegate->setDateServices(dates, clock);
    viewport()->update();
}

void TaskGrid::setRepeats(std::function<bool(int row)> repeats, RepeatWords words)
{
    m_repeatWords = std::move(words);
    m_delegate->setRepeats(std::move(repeats));
}

void TaskGrid::setSortColumn(int column)
{
    m_sortColumn = column;
    header()->setSortState(m_sortColumn, m_tag);
}

void TaskGrid::setTag(int tag)
{
    m_tag = tag;
    header()->setSortState(m_sortColumn, m_tag);
}

int TaskGrid::colWidth(int col) const
{
    return header()->sectionSize(col);
}

void TaskGrid::setColWidth(int col, int width)
{
    if (col < 0 || col >= FirstDataOnlyColumn)
        return;
    header()->resizeSection(col, std::max(width, 0));
}

int TaskGrid::defaultColWidth(int col) const
{
    if (col == Col::Date && m_dates && m_clock)
        return dateColumnWidth(fontMetrics(), *m_dates, m_clock->today());
    if (col < 0 || col >= FirstDataOnlyColumn)
        return 0;
    return CreationWidths[size_t(col)];
}

int TaskGrid::dateColumnWidth(const QFontMetrics &metrics, const DateFormat &dates,
                              const QDate &today)
{
    return metrics.horizontalAdvance(dates.formatDate(today, QStringLiteral("dd/mm/yyyy"))) + 6;
}

void TaskGrid::checkRow(int row) const
{
    if (!table() || row < 1 || row > table()->rowCount() - 1)
        throw StoreError(gridIndexOutOfRange());
}

void TaskGrid::setCurrentRow(int row)
{
    checkRow(row);
    if (currentIndex().isValid() && currentIndex().row() == row - 1)
        return; // as a grid does: choosing the current row again keeps a range selected
    selectOnly(row);
    scrollTo(taskIndex(row, Col::Task));
}

int TaskGrid::selectionTop() const
{
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return currentRow();
    int top = selection.first().top();
    for (const QItemSelectionRange &range : selection)
        top = std::min(top, range.top());
    return top + 1;
}

int TaskGrid::selectionBottom() const
{
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return currentRow();
    int bottom = selection.first().bottom();
    for (const QItemSelectionRange &range : selection)
        bottom = std::max(bottom, range.bottom());
    return bottom + 1;
}

void TaskGrid::selectRows(int top, int bottom)
{
    checkRow(top);
    checkRow(bottom);
    if (top > bottom)
        std::swap(top, bottom);
    const QModelIndex target = taskIndex(bottom, Col::Task);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    selectionModel()->select(QItemSelection(taskIndex(top, 0), taskIndex(bottom, Col::Count - 1)),
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(target);
}

void TaskGrid::setHover(int row, int col)
{
    m_hoverRow = row;
    m_hoverCol = col;
}

void TaskGrid::setShowNoteHints(bool on)
{
    m_showHints = on;
    if (!on)
        QToolTip::hideText();
}

void TaskGrid::clearHint()
{
    m_hintText.clear();
    QToolTip::hideText();
}

void TaskGrid::handleMouseMove(const QPoint &gridPos)
{
    if (!table() || table()->isEmpty())
        return;
    const CellPos cell = cellAt(gridPos);
    if (cell.row == 0 || !m_showHints || cell.row > table()->rowCount() - 1 || cell.row == -1) {
        setHover(cell.row, cell.col);
        QToolTip::hideText();
        return;
    }
    if (cell.row == m_hoverRow)
        return;
    setHover(cell.row, cell.col);
    QToolTip::hideText();
    m_hintShown = false;
    m_hintText = table()->cell(Col::Note, cell.row);
    if (m_hintText.trimmed().isEmpty())
        m_hintText = NoNoteHint;
    if (const QString words = m_repeatWords ? m_repeatWords(cell.row) : QString(); !words.isEmpty())
        m_hintText += QLatin1Char('\n') + words;
}

bool TaskGrid::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);

    const auto *help = static_cast<QHelpEvent *>(event);
    const CellPos cell = cellAt(viewport()->mapTo(this, help->pos()));
    if (m_showHints && table() && !table()->isEmpty() && cell.row >= 1 && cell.row == m_hoverRow &&
        !m_hintText.isEmpty() && (!m_hintShown || QToolTip::isVisible())) {
        // Shown for the row under the mouse; leaving the row takes it away.
        const QRect row = cellRect(Col::Done, cell.row).translated(-viewport()->pos());
        QString text = m_hintText;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        // A note is plain text, every line of it, whatever it looks like.
        QToolTip::showText(help->globalPos(), Qt::convertFromPlainText(text, Qt::WhiteSpacePre),
                           viewport(), QRect(0, row.top(), viewport()->width(), row.height()));
        m_hintShown = true;
    } else {
        QToolTip::hideText();
    }
    return true;
}

bool TaskGrid::headerMouseEvent(QMouseEvent *event, const QPoint &gridPos)
{
    // Header events are only watched: the header still resizes its columns.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const CellPos cell = cellAt(gridPos);
        setHover(cell.row, cell.col);
        if (event->type() == QEvent::MouseButtonDblClick && event->button() == Qt::LeftButton)
            emit gridDoubleClicked();
        emit gridMousePressed(event->button(), cell.col, cell.row,
                              event->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseButtonRelease:
        emit gridMouseReleased(event->button(), gridPos);
        break;
    case QEvent::MouseMove:
        handleMouseMove(gridPos);
        break;
    default:
        break;
    }
    return false;
}

void TaskGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    emit gridMouseReleased(event->button(), gridPosOf(event));
}

void TaskGrid::mouseMoveEvent(QMouseEvent *event)
{
    QTableView::mouseMoveEvent(event);
    handleMouseMove(gridPosOf(event));
}

void TaskGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first press of the pair already moved the selection.
    const CellPos cell = cellAt(gridPosOf(event));
    setHover(cell.row, cell.col);
    if (event->button() == Qt::LeftButton)
        emit gridDoubleClicked();
    emit gridMousePressed(event->button(), cell.col, cell.row, event->globalPosition().toPoint());
    event->accept();
}

void TaskGrid::keyPressEvent(QKeyEvent *event)
{
    // Ctrl+A adds a task; it must not also select every row for a Delete to follow.
    if (event->matches(QKeySequence::SelectAll)) {
        event->ignore();
        return;
    }
    RowGridView::keyPressEvent(event);
}
