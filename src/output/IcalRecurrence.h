#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>

#include <optional>

// Rules set by another program, followed through libical's recurrence iterator.
namespace IcalRecurrence {

// The first date after `after` of the series that rrule gives from start, or none
// with the reason (no further date, a rule libical cannot read). Bounded: a rule
// that never reaches past `after` stops after a fixed number of steps.
std::optional<QDate> next(const QByteArray &rrule, const QDate &start, const QDate &after,
                          QString *reason);

} // namespace IcalRecurrence
