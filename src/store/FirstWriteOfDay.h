#pragma once

#include <QDate>
#include <QString>
#include <functional>

class Clock;

// What runs before the first write of each day to the program's files (the task
// data file, the archive, the settings file): the daily backup. Every writer of
// a run's files calls the one the program wires at start; without a step it does
// nothing.
class FirstWriteOfDay
{
public:
    explicit FirstWriteOfDay(const Clock &clock) : m_clock(clock) {}
    FirstWriteOfDay(const FirstWriteOfDay &) = delete;
    FirstWriteOfDay &operator=(const FirstWriteOfDay &) = delete;

    void setStep(std::function<void()> step) { m_step = std::move(step); }
    // Called before every write; runs the step when it is the day's first.
    void beforeWrite();

    // What a day's copy made alongside the commands needs to know: called after
    // beforeWrite, before bytes a record file already holds change - length bytes
    // from offset overwritten, or (length -1) everything from offset on cut off
    // or, from 0, the file replaced. Appends are not told.
    using ChangeStep = std::function<void(const QString &path, qint64 offset, qint64 length)>;
    void setChangeStep(ChangeStep step) { m_changeStep = std::move(step); }
    void beforeChange(const QString &path, qint64 offset, qint64 length) const
    {
        if (m_changeStep)
            m_changeStep(path, offset, length);
    }

private:
    const Clock &m_clock;
    std::function<void()> m_step;
    ChangeStep m_changeStep;
    QDate m_lastDay;
};
