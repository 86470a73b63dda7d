#pragma once

#include <QDate>
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

private:
    const Clock &m_clock;
    std::function<void()> m_step;
    QDate m_lastDay;
};
