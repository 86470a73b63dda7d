#include "TaskGrid.h"

#include "TaskGridDelegate.h"
#include "TaskGridHeader.h"
#include "TaskGridModel.h"
#include "platform/Clock.h"
#include "store/DateFormat.h"
#include "store/StoreError.h"
#include "store/TaskTable.h"

#include <QApplication>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>
#include <array>

namespace {
// Widths of columns 0-4 when the grid is created.
constexpr std::array<int, 5> CreationWidths = {12, 206, 61, 31, 12};
constexpr int FirstDataOnlyColumn = Col::Order;

const QString NoNoteHint = QStringLiteral("[no note..]");

QString gridIndexOutOfRange()
{
    return QStringLiteral("Grid index out of range");
}
} // namespace

TaskGrid::TaskGrid(QWidget *parent)
    : QTableView(parent), m_proxy(new TaskGridModel(this)), m_header(new TaskGridHeader(this)),
      m_delegate(new TaskGridDelegate(this))
{
    setHorizontalHeader(m_header);
    setModel(m_proxy);
    setItemDelegate(m_delegate);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false); // Tab leaves the grid, as in any other control
    setSelectionBehavior(SelectRows);
    setSelectionMode(ContiguousSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    // Notes show as tooltips while the mouse merely moves over the rows.
    viewport()->setMouseTracking(true);
    m_header->viewport()->setMouseTracking(true);
    m_header->viewport()->installEventFilter(this);

    setFont(gridFont(QApplication::font()));
    applyFontMetrics();

    for (int c = 0; c < int(CreationWidths.size()); ++c)
        m_header->resizeSection(c, CreationWidths[size_t(c)]);
    for (int c = FirstDataOnlyColumn; c < Col::Count; ++c)
        m_header->setSectionHidden(c, true);

    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { emit currentCellChanged(); });
    connect(m_proxy, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_rowBeforeReset = std::max(currentIndex().row(), 0); });
    // Connected after the view's own handlers, so the reset view is already in place.
    connect(m_proxy, &QAbstractItemModel::modelReset, this, &TaskGrid::restoreCurrentRow);
}

TaskGrid::~TaskGrid() = default;

void TaskGrid::setTable(TaskTable *table)
{
    m_table = table;
    m_delegate->setTable(table);
    m_proxy->setSourceModel(table);
}

void TaskGrid::setDateServices(const DateFormat *dates, const Clock *clock)
{
    m_dates = dates;
    m_clock = clock;
    m_delegate->setDateServices(dates, clock);
    viewport()->update();
}

void TaskGrid::setSortColumn(int column)
{
    m_sortColumn = column;
    m_header->setSortState(m_sortColumn, m_tag);
}

void TaskGrid::setTag(int tag)
{
    m_tag = tag;
    m_header->setSortState(m_sortColumn, m_tag);
}

int TaskGrid::colWidth(int col) const
{
    return m_header->sectionSize(col);
}

void TaskGrid::setColWidth(int col, int width)
{
    if (col < 0 || col >= FirstDataOnlyColumn)
        return;
    m_header->resizeSection(col, std::max(width, 0));
}

QFont TaskGrid::gridFont(const QFont &applicationFont)
{
    // The designed widths were made for a font whose digits are 6 pixels wide.
    const int hourRoom = CreationWidths[Col::Hour] - 2;
    QFont font = applicationFont;
    for (qreal size = GridFontPointSize; size >= MinGridFontPointSize; size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetrics(font).horizontalAdvance(QStringLiteral("00:00")) <= hourRoom)
            break;
    }
    return font;
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
    if (!m_table || row < 1 || row > m_table->rowCount() - 1)
        throw StoreError(gridIndexOutOfRange());
}

int TaskGrid::currentRow() const
{
    // The grid always has a current row; before the first selection it is row 1.
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

void TaskGrid::setCurrentRow(int row)
{
    checkRow(row);
    const QModelIndex target = m_proxy->index(row - 1, Col::Task);
    if (currentIndex().isValid() && currentIndex().row() == target.row())
        return; // as a grid does: choosing the current row again keeps a range selected
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
    scrollTo(target);
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
    const QModelIndex target = m_proxy->index(bottom - 1, Col::Task);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
    selectionModel()->select(
        QItemSelection(m_proxy->index(top - 1, 0), m_proxy->index(bottom - 1, Col::Count - 1)),
        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(target);
}

void TaskGrid::restoreCurrentRow()
{
    const int rows = m_proxy->rowCount();
    if (rows == 0)
        return;
    const QModelIndex target = m_proxy->index(std::min(m_rowBeforeReset, rows - 1), Col::Task);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
}

int TaskGrid::visibleRowCount() const
{
    return viewport()->height() / std::max(verticalHeader()->defaultSectionSize(), 1);
}

int TaskGrid::scrollBarExtent() const
{
    return verticalScrollBar()->sizeHint().width();
}

TaskGrid::CellPos TaskGrid::cellAt(const QPoint &gridPos) const
{
    CellPos cell;
    if (m_header->geometry().contains(gridPos)) {
        cell.col = m_header->logicalIndexAt(gridPos.x() - m_header->x());
        cell.row = 0;
    } else if (viewport()->geometry().contains(gridPos)) {
        const QPoint p = gridPos - viewport()->pos();
        cell.col = columnAt(p.x());
        const int viewRow = rowAt(p.y());
        cell.row = viewRow < 0 ? -1 : viewRow + 1;
    }
    // A point outside the columns or the rows is outside every cell.
    if (cell.col < 0 || cell.row < 0)
        return CellPos();
    return cell;
}

QRect TaskGrid::cellRect(int col, int row) const
{
    if (col < 0 || col >= Col::Count || row < 0 || row > m_proxy->rowCount())
        return {};
    if (row == 0)
        return QRect(m_header->x() + m_header->sectionViewportPosition(col), m_header->y(),
                     m_header->sectionSize(col), m_header->height());
    return visualRect(m_proxy->index(row - 1, col)).translated(viewport()->pos());
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
    if (!m_table || m_table->isEmpty())
        return;
    const CellPos cell = cellAt(gridPos);
    if (cell.row == 0 || !m_showHints || cell.row > m_table->rowCount() - 1 || cell.row == -1) {
        setHover(cell.row, cell.col);
        QToolTip::hideText();
        return;
    }
    if (cell.row == m_hoverRow)
        return;
    setHover(cell.row, cell.col);
    QToolTip::hideText();
    m_hintText = m_table->cell(Col::Note, cell.row);
    if (m_hintText.trimmed().isEmpty())
        m_hintText = NoNoteHint;
}

bool TaskGrid::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QTableView::viewportEvent(event);

    const auto *help = static_cast<QHelpEvent *>(event);
    const CellPos cell = cellAt(viewport()->mapTo(this, help->pos()));
    if (m_showHints && m_table && !m_table->isEmpty() && cell.row >= 1 && cell.row == m_hoverRow &&
        !m_hintText.isEmpty()) {
        // Shown for the row under the mouse; leaving the row takes it away.
        const QRect row = cellRect(Col::Done, cell.row).translated(-viewport()->pos());
        QString text = m_hintText;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QToolTip::showText(help->globalPos(), text, viewport(),
                           QRect(0, row.top(), viewport()->width(), row.height()));
    } else {
        QToolTip::hideText();
    }
    return true;
}

bool TaskGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_header->viewport())
        return QTableView::eventFilter(watched, event);

    // Header events are only watched: the header still resizes its columns.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto *me = static_cast<QMouseEvent *>(event);
        const CellPos cell = cellAt(m_header->viewport()->mapTo(this, me->position().toPoint()));
        setHover(cell.row, cell.col);
        if (event->type() == QEvent::MouseButtonDblClick && me->button() == Qt::LeftButton)
            emit gridDoubleClicked();
        emit gridMousePressed(me->button(), cell.col, cell.row, me->globalPosition().toPoint());
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto *me = static_cast<QMouseEvent *>(event);
        emit gridMouseReleased(me->button(),
                               m_header->viewport()->mapTo(this, me->position().toPoint()));
        break;
    }
    case QEvent::MouseMove: {
        const auto *me = static_cast<QMouseEvent *>(event);
        handleMouseMove(m_header->viewport()->mapTo(this, me->position().toPoint()));
        break;
    }
    default:
        break;
    }
    return QTableView::eventFilter(watched, event);
}

void TaskGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyFontMetrics();
}

void TaskGrid::applyFontMetrics()
{
    // The designed heights, unless the font needs more to show whole letters.
    const int fontHeight = fontMetrics().height();
    verticalHeader()->setDefaultSectionSize(std::max(DefaultRowHeight, fontHeight + 2));
    m_header->setFixedHeight(std::max(DefaultHeaderHeight, fontHeight + 1));
}

void TaskGrid::mousePressEvent(QMouseEvent *event)
{
    const CellPos cell = cellAt(viewport()->mapTo(this, event->position().toPoint()));
    setHover(cell.row, cell.col);
    if (event->button() == Qt::LeftButton) {
        QTableView::mousePressEvent(event);
    } else {
        // Other buttons leave the selection alone; the owner decides what they select.
        setFocus(Qt::MouseFocusReason);
        event->accept();
    }
    emit gridMousePressed(event->button(), cell.col, cell.row, event->globalPosition().toPoint());
}

void TaskGrid::mouseReleaseEvent(QMouseEvent *event)
{
    QTableView::mouseReleaseEvent(event);
    emit gridMouseReleased(event->button(), viewport()->mapTo(this, event->position().toPoint()));
}

void TaskGrid::mouseMoveEvent(QMouseEvent *event)
{
    QTableView::mouseMoveEvent(event);
    handleMouseMove(viewport()->mapTo(this, event->position().toPoint()));
}

void TaskGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    // The first press of the pair already moved the selection.
    const CellPos cell = cellAt(viewport()->mapTo(this, event->position().toPoint()));
    setHover(cell.row, cell.col);
    if (event->button() == Qt::LeftButton)
        emit gridDoubleClicked();
    emit gridMousePressed(event->button(), cell.col, cell.row, event->globalPosition().toPoint());
    event->accept();
}
