#include "EditorRules.h"

#include "store/TaskRow.h"
#include "store/Win1252.h"

namespace EditorRules {

int spinnerStep(int value, int position, int max)
{
    const int next = value - position;
    if (next > max)
        return 0;
    if (next < 0)
        return max;
    return next;
}

QDate scrollMonth(const QDate &date, int step)
{
    int year = date.year();
    int month = date.month() + step;
    if (month < 1) {
        month = 12;
        --year;
    } else if (month > 12) {
        month = 1;
        ++year;
    }
    int day = date.day();
    if (month == 2)
        day = qMin(day, 28);
    else if (month == 4 || month == 6 || month == 9 || month == 11)
        day = qMin(day, 30);
    return QDate(year, month, day);
}

std::optional<Unstorable> firstUnstorable(const QString &text)
{
    const qsizetype separator = text.indexOf(QLatin1Char(FieldSeparator));
    const int unencodable = Win1252::firstUnencodable(text);
    int index = int(separator);
    if (unencodable >= 0 && (index < 0 || unencodable < index))
        index = unencodable;
    if (index < 0)
        return std::nullopt;
    // A character outside the basic plane is two UTF-16 units: name it whole.
    const bool pair = text.at(index).isHighSurrogate() && index + 1 < text.size() &&
                      text.at(index + 1).isLowSurrogate();
    const QString character = text.mid(index, pair ? 2 : 1);
    const char32_t code = pair ? QChar::surrogateToUcs4(text.at(index), text.at(index + 1))
                               : char32_t(text.at(index).unicode());
    const QString hex =
        QString::number(uint(code), 16).toUpper().rightJustified(4, QLatin1Char('0'));
    return Unstorable{index, QStringLiteral("\"%1\" (U+%2)").arg(character, hex)};
}

QString noteFromMemo(const QString &memoText)
{
    QString note = memoText;
    note.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return note;
}

QString memoFromNote(const QString &note)
{
    QString memo = note;
    memo.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return memo;
}

QString firstLine(const QString &memoText)
{
    const qsizetype end = memoText.indexOf(QLatin1Char('\n'));
    return end < 0 ? memoText : memoText.left(end);
}

} // namespace EditorRules
