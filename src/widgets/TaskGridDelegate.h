#pragma once

#include <QStyledItemDelegate>

#include <functional>

class TaskTable;
class DateFormat;
class Clock;

// Paints the grid's task cells: the selection shade, each task's text colour, the
// highlight of today's open tasks and the red done mark.
class TaskGridDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void setTable(const TaskTable *table) { m_table = table; }
    void setDateServices(const DateFormat *dates, const Clock *clock);
    // Whether the task of a table row repeats (words of its rule; empty: not).
    void setRepeats(std::function<bool(int row)> repeats) { m_repeats = std::move(repeats); }

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

    static const QColor SelectionShade; // #E6E6E6
    static const QColor TodayShade;     // #FFFFDC
    static const QColor DoneMarkColour; // #FF0000
    // The same hues for a dark palette.
    static const QColor DarkSelectionShade;
    static const QColor DarkTodayShade;

private:
    bool isOpenTaskDueToday(int row) const;

    const TaskTable *m_table = nullptr;
    const DateFormat *m_dates = nullptr;
    const Clock *m_clock = nullptr;
    std::function<bool(int row)> m_repeats;
};
