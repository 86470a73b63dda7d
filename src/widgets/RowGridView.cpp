#include "RowGridView.h"

#include "TaskGridHeader.h"
#include "TaskGridModel.h"
#include "store/TaskTable.h"

#include <QApplication>
#include <QMouseEvent>
#include <QScrollBar>
#include <algorithm>

RowGridView::RowGridView(TaskGridModel *proxy, int designedRowHeight, int designedHeaderHeight,
                         QWidget *parent)
    : QTableView(parent), m_proxy(proxy), m_header(new TaskGridHeader(this)),
      m_designedRowHeight(designedRowHeight), m_designedHeaderHeight(designedHeaderHeight)
{
    m_proxy->setParent(this);
    setHorizontalHeader(m_header);
    setModel(m_proxy);

    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setTabKeyNavigation(false); // Tab leaves the grid, as in any other control
    setSelectionBehavior(SelectRows);
    setEditTriggers(NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_header->viewport()->installEventFilter(this);

    setFont(gridFont(QApplication::font()));
    applyFontMetrics();

    connect(m_proxy, &QAbstractItemModel::modelAboutToBeReset, this,
            [this] { m_rowBeforeReset = std::max(currentIndex().row(), 0); });
    // Connected after the view's own handlers, so the reset view is already in place.
    connect(m_proxy, &QAbstractItemModel::modelReset, this, [this] {
        const int rows = m_proxy->rowCount();
        if (rows > 0)
            restoreCurrentRow(std::min(m_rowBeforeReset, rows - 1) + 1);
    });
}

void RowGridView::setSourceTable(TaskTable *table)
{
    m_table = table;
    m_proxy->setSourceModel(table);
}

QFont RowGridView::gridFont(const QFont &applicationFont)
{
    // The designed widths were made for a font whose digits are 6 pixels wide.
    const int hourRoom = DesignedHourWidth - 2;
    QFont font = applicationFont;
    for (qreal size = GridFontPointSize; size >= MinGridFontPointSize; size -= 0.5) {
        font.setPointSizeF(size);
        if (QFontMetrics(font).horizontalAdvance(QStringLiteral("00:00")) <= hourRoom)
            break;
    }
    return font;
}

int RowGridView::currentRow() const
{
    // The grid always has a current row; before the first selection it is row 1.
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + 1 : 1;
}

QModelIndex RowGridView::taskIndex(int row, int col) const
{
    return m_proxy->index(row - 1, col);
}

void RowGridView::selectOnly(int row)
{
    selectionModel()->setCurrentIndex(
        taskIndex(row, Col::Task), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void RowGridView::restoreCurrentRow(int row)
{
    selectOnly(row);
}

int RowGridView::visibleRowCount() const
{
    return viewport()->height() / std::max(verticalHeader()->defaultSectionSize(), 1);
}

int RowGridView::scrollBarExtent() const
{
    return verticalScrollBar()->sizeHint().width();
}

RowGridView::CellPos RowGridView::cellAt(const QPoint &gridPos) const
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

QRect RowGridView::cellRect(int col, int row) const
{
    if (col < 0 || col >= Col::Count || row < 0 || row > m_proxy->rowCount())
        return {};
    if (row == 0)
        return QRect(m_header->x() + m_header->sectionViewportPosition(col), m_header->y(),
                     m_header->sectionSize(col), m_header->height());
    return visualRect(taskIndex(row, col)).translated(viewport()->pos());
}

QPoint RowGridView::gridPosOf(const QMouseEvent *event) const
{
    return viewport()->mapTo(this, event->position().toPoint());
}

bool RowGridView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_header->viewport()) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseMove: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (headerMouseEvent(mouse,
                                 m_header->viewport()->mapTo(this, mouse->position().toPoint())))
                return true;
            break;
        }
        default:
            break;
        }
    }
    return QTableView::eventFilter(watched, event);
}

void RowGridView::setDesignedHeaderHeight(int designed)
{
    m_designedHeaderHeight = designed;
    applyFontMetrics();
}

void RowGridView::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        applyFontMetrics();
}

void RowGridView::applyFontMetrics()
{
    // The designed heights, unless the font needs more to show whole letters.
    const int fontHeight = fontMetrics().height();
    verticalHeader()->setDefaultSectionSize(std::max(m_designedRowHeight, fontHeight + 2));
    m_header->setFixedHeight(std::max(m_designedHeaderHeight, fontHeight + 1));
}

void RowGridView::mousePressEvent(QMouseEvent *event)
{
    const CellPos cell = cellAt(gridPosOf(event));
    noteMouseCell(cell);
    if (event->button() == Qt::LeftButton) {
        QTableView::mousePressEvent(event);
    } else {
        // Other buttons leave the selection alone; the owner decides what they select.
        setFocus(Qt::MouseFocusReason);
        event->accept();
    }
    emit gridMousePressed(event->button(), cell.col, cell.row, event->globalPosition().toPoint());
}
