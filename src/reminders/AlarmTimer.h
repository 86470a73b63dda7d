#pragma once

#include <QObject>
#include <QTimer>

// The alarm's clock: a check every few seconds, and one longer period after an
// alert or a saved task, so that the next check falls in a later minute and the
// same task is not alerted twice. Nobody else sets the timer's period.
class AlarmTimer : public QObject
{
    Q_OBJECT
public:
    static constexpr int Period = 5000;
    static constexpr int PausePeriod = 60000;

    explicit AlarmTimer(QObject *parent = nullptr);

    // Running or not, the timer keeps its period (a pause stays a pause).
    void start();
    void stop();
    bool isActive() const { return m_timer.isActive(); }
    // The next check comes one pause period from now.
    void pause();
    bool isPaused() const { return m_timer.interval() == PausePeriod; }
    int interval() const { return m_timer.interval(); }
    // Back to the ordinary period (start-up).
    void reset();

    // What the timer does when it runs out: a pause ends, then a check is due.
    void tick();

signals:
    void checkDue();

private:
    QTimer m_timer{this}; // a child, so tests find it by its name
};
