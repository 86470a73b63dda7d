#pragma once

#include <QTest>

// Waits, processing events, until a condition holds; false after the time-out.
// (Qt's QTRY_ macros report to QtTest's log only and would let a gtest pass.)
template <typename Condition> bool eventually(Condition condition, int timeoutMs = 5000)
{
    return QTest::qWaitFor(condition, timeoutMs);
}
