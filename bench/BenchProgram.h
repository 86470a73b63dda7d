#pragma once

#include "platform/MessageService.h"
#include "store/Clock.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <memory>

class QWidget;
class TForm1;
class TaskList;

// The clock stands still, so the agenda lists the same tasks whatever the day
// of the run.
class FixedClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 9), QTime(10, 0)); }
};

// A modal box would stop the run until someone clicks it: boxes are counted and
// answered Ok or Yes instead.
class CountingMessages : public MessageService
{
public:
    MsgResult show(QWidget *parent, const MessageRequest &request) override;
    int shown = 0;
    QString last;
};

// Offscreen windows, and the user's autostart entries and native settings kept
// out of reach; before the application object is made.
void prepareBenchEnvironment();

// As QTest::qWaitForWindowExposed, without linking the test library.
bool waitForExposed(QWidget &w);

// One run of the program in a temporary program folder of its own, with a copy of
// a task data file and, when given, a settings file. The services are the
// program's own except the message boxes and the clock above; the daily backup
// is made before the first write only when asked for, as it is once a day.
class BenchProgram
{
public:
    explicit BenchProgram(const QString &taskFile, const QByteArray &settings = {},
                          bool dailyBackup = false);
    ~BenchProgram();

    // Loads the tasks and builds the main window through show(), until it is
    // exposed; the error, or an empty text.
    QString start();
    // Closes the main window, running its close steps, as the user does.
    void close();

    QString file(const QString &name) const;
    TForm1 &window() { return *m_window; }
    TaskList &tasks() { return *m_tasks; }
    CountingMessages &messages();

private:
    struct Parts;
    std::unique_ptr<Parts> m;
    std::unique_ptr<TaskList> m_tasks;
    std::unique_ptr<TForm1> m_window;
};

// Delivers the events posted so far and whatever they cause, until a pass of the
// event loop delivers nothing more: the program is idle again.
void settle();
