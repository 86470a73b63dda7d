#pragma once

#include <QDate>
#include <QString>
#include <optional>

// The task editor's small rules that need no widget.
namespace EditorRules {

// A spinner step: value - position (the upper arrow gives -1, so it counts up),
// wrapping past max to 0 and below 0 to max.
int spinnerStep(int value, int position, int max);

// The calendar panel's month scroll: step -1 or +1 months, across the year's
// ends; the day is cut to 28 for February (leap years too) and to 30 for the
// 30-day months.
QDate scrollMonth(const QDate &date, int step);

// The first character of text that the task data file cannot hold (the field
// separator, or a character Windows-1252 lacks), described for the user as
// "¦" (U+00A6); nothing when every character can be stored.
struct Unstorable
{
    int index = -1;
    QString description;
};
std::optional<Unstorable> firstUnstorable(const QString &text);

// Memo text (lines joined by "\n") and note cells (lines joined by CR LF).
QString noteFromMemo(const QString &memoText);
QString memoFromNote(const QString &note);

// The first line of a memo text.
QString firstLine(const QString &memoText);

} // namespace EditorRules
