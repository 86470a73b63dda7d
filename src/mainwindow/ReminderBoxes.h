#pragma once

#include <QObject>
#include <functional>

class QWidget;
class AlarmTimer;
class TaskList;
struct AppContext;

// What the main window shows of the reminders: the start-up agenda of today's
// open tasks, and at each alarm tick the alert of the tasks falling due, each in
// a box and in the desktop's notification list.
class ReminderBoxes : public QObject
{
    Q_OBJECT
public:
    // window: the main window, which the boxes belong to.
    ReminderBoxes(AppContext &ctx, const TaskList &tasks, AlarmTimer &alarm, QWidget *window);

    // At the main window's first showing (when "Alert_s" is on).
    void ShowAgenda();

signals:
    // A notification was picked: the main window comes to the front.
    void windowWanted();
    // An alarm tick was checked: today's highlight may have moved.
    void checked();

private:
    void Timer1Timer();
    void notifyDesktop(const char *summaryKey, const QString &text, bool urgent);

    AppContext &m_ctx;
    const TaskList &m_tasks;
    AlarmTimer &m_alarm;
    QWidget *m_window;
};
