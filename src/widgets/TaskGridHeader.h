#pragma once

#include <QHeaderView>
#include <QImage>
#include <optional>

// The sort arrows, 13 x 13 etched triangles on a transparent background.
const QImage &Image_up();
const QImage &Image_down();

// The grid's header row: each caption centred at the top of its cell, and the
// arrow of the current sort over the column it belongs to.
class TaskGridHeader : public QHeaderView
{
    Q_OBJECT
public:
    explicit TaskGridHeader(QWidget *parent = nullptr);

    // sortColumn is a table column (6 stands for the Date header); tag 1 shows
    // the up arrow, 0 the down arrow, anything else none.
    void setSortState(int sortColumn, int tag);

protected:
    void paintSection(QPainter *painter, const QRect &rect, int logicalIndex) const override;

private:
    // Left edge of the arrow in a header cell, or nothing when the current sort
    // shows no arrow there.
    std::optional<int> arrowLeft(int logicalIndex, const QRect &rect) const;

    int m_sortColumn = 0;
    int m_tag = 0;
};
