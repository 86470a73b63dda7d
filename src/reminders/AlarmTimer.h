#pragma once

#include "AlertedTasks.h"

#include <QDateTime>
#include <QObject>
#include <QTimer>
#include <optional>

// The alarm's clock: a check every few seconds, and one longer period after an
// alert or a saved task, so that the next check falls in a later minute and the
// same task is not alerted twice. Nobody else sets the timer's period.
//
// It also remembers the last minute checked, so a tick that comes late (after a
// suspend, a blocked event loop or a clock set forward) still looks at every
// minute it skipped. Minutes are wall-clock minutes, as tasks are dated. After
// the clock is set back it checks from the new time on, and the tasks it alerted
// in this run are kept so that none is alerted twice.
class AlarmTimer : public QObject
{
    Q_OBJECT
public:
    static constexpr int Period = 5000;
    static constexpr int PausePeriod = 60000;
    // How far back a late tick looks.
    static constexpr int MaxCatchUpMinutes = 24 * 60;

    // Both ends included; seconds are zero.
    struct MinuteSpan
    {
        QDateTime first;
        QDateTime last;
    };

    explicit AlarmTimer(QObject *parent = nullptr);

    // Running or not, the timer keeps its period (a pause stays a pause).
    void start();
    // Minutes that pass while stopped are never checked.
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    // The next check comes one pause period from now.
    void pause();
    bool isPaused() const { return m_timer.interval() == PausePeriod; }
    int interval() const { return m_timer.interval(); }
    // Back to the ordinary period (start-up).
    void reset();

    // The minutes a check at `now` looks at, marked as checked: now's minute on
    // the first check after a start, and after a late tick every minute since the
    // last one checked, at most a day back; after the clock went back, now's
    // minute again. None when now is the minute already alerted.
    std::optional<MinuteSpan> minutesToCheck(const QDateTime &now);
    // An alert listed the minutes just checked: pause, and never list them again.
    void alerted();
    // Every task alerted in this run (kept while the timer is off, too).
    AlertedTasks &alertedTasks() { return m_alerted; }

    // What the timer does when it runs out: a pause ends, then a check is due.
    void tick();

signals:
    void checkDue();

private:
    QTimer m_timer{this};                // a child, so tests find it by its name
    std::optional<qint64> m_lastChecked; // minutes since the start of the Julian calendar
    bool m_lastAlerted = false;
    AlertedTasks m_alerted;
};
