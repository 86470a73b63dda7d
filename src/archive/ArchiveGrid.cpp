#include "ArchiveGrid.h"

#include "ArchiveGridModel.h"
#include "mainwindow/TaskGrid.h"
#include "mainwindow/TaskGridHeader.h"
#include "store/TaskTable.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

ArchiveGrid::ArchiveGrid(QWidget *parent)
    : QTableView(parent), m_proxy(new ArchiveGridModel(this)), m_header(new TaskGridHeader(this))
{
    setHorizontalHeader(m_header);
    m_header->setSortState(-1, -1); // the viewer shows no sort arrow
    setModel(m_proxy);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false);
    setSelectionBehavior(SelectRows);
    setSelectionMode(SingleSelection);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_header->viewport()->installEventFilter(this);

    setFont(TaskGrid::gridFont(QApplication::font()));
    applyFontMetrics();

    connect(m_proxy, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_rowBeforeReset = std::max(currentIndex().row(), 0); });
    connect(m_proxy, &QAbstractItemModel::modelReset, this, &ArchiveGrid::restoreCurrentRow);
}

void ArchiveGrid::setTable(TaskTable *table)
{
    m_table = table;
    m_proxy->setSourceModel(table);
}

void ArchiveGrid::setHeaderHeight(int designed)
{
    m_designedHeaderHeight = designed;
    applyFontMetrics();
}

int ArchiveGrid::headerHeight() const
{
    return m_header->height();
}

int ArchiveGrid::colWidth(int col) const
{
    return m_header->isSectionHidden(col) ? 0 : m_header->sectionSize(col);
}

void ArchiveGrid::setColWidth(int col, int width)
{
    width = std::max(width, 0);
    m_header->setSectionHidden(col, width == 0);
    if (width > 0)
        m_header->resizeSection(col, width);
}

int ArchiveGrid::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

void ArchiveGrid::setCurrentRow(int row)
{
    if (!m_table || row < 1 || row >= m_table->rowCount())
        return;
    const QModelIndex target = m_proxy->index(row - 1, Col::Task);
    selectionModel()->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
    scrollTo(target);
}

void ArchiveGrid::restoreCurrentRow()
{
    const int rows = m_proxy->rowCount();
    if (rows > 0)
        setCurrentRow(std::min(m_rowBeforeReset, rows - 1) + 1);
}

int ArchiveGrid::visibleRowCount() const
{
    return viewport()->height() / std::max(verticalHeader()->defaultSectionSize(), 1);
}

int ArchiveGrid::scrollBarExtent() const
{
    return verticalScrollBar()->sizeHint().width();
}

ArchiveGrid::CellPos ArchiveGrid::cellAt(const QPoint &gridPos) const
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
    if (cell.col < 0 || cell.row < 0)
        return CellPos();
    return cell;
}

QRect ArchiveGrid::cellRect(int col, int row) const
{
    if (col < 0 || col >= Col::Count || row < 0 || row > m_proxy->rowCount())
        return {};
    if (row == 0)
        return QRect(m_header->x() + m_header->sectionViewportPosition(col), m_header->y(),
                     m_header->sectionSize(col), m_header->height());
    return visualRect(m_proxy->index(row - 1, col)).translated(viewport()->pos());
}

bool ArchiveGrid::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header->viewport() && event->type() == QEvent::MouseButtonPress) {
        auto *mouse = static_cast<QMouseEvent *>(event);
        const CellPos cell = cellAt(m_header->viewport()->mapTo(this, mouse->position().toPoint()));
        emit gridMousePressed(mouse->button(), cell.col, cell.row,
                              mouse->globalPosition().toPoint());
        return true; // a header press never selects or resizes: it sorts, through the owner
    }
    return QTableView::eventFilter(watched, event);
}

void ArchiveGrid::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyFontMetrics();
}

void ArchiveGrid::applyFontMetrics()
{
    const int fontHeight = fontMetrics().height();
    verticalHeader()->setDefaultSectionSize(std::max(DefaultRowHeight, fontHeight + 2));
    m_header->setFixedHeight(std::max(m_designedHeaderHeight, fontHeight + 1));
}

void ArchiveGrid::mousePressEvent(QMouseEvent *event)
{
    const CellPos cell = cellAt(viewport()->mapTo(this, event->position().toPoint()));
    if (event->button() == Qt::LeftButton) {
        QTableView::mousePressEvent(event);
    } else {
        // The owner decides what another button selects.
        setFocus(Qt::MouseFocusReason);
        event->accept();
    }
    emit gridMousePressed(event->button(), cell.col, cell.row, event->globalPosition().toPoint());
}

void ArchiveGrid::mouseDoubleClickEvent(QMouseEvent *event)
{
    const CellPos cell = cellAt(viewport()->mapTo(this, event->position().toPoint()));
    event->accept();
    if (event->button() == Qt::LeftButton && cell.row > 0)
        emit gridDoubleClicked();
}
