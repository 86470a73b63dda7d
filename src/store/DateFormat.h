#pragma once

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>
#include <array>
#include <optional>

// The program-wide short date format, the date and time separators, and the
// pattern language used everywhere a date or time is formatted or parsed.
//
// Pattern letters: "d"/"dd" day, "M"/"MM" (or "m"/"mm" after a date letter)
// month, "MMM" abbreviated month name, "yy"/"yyyy" year, "h"/"hh"/"H"/"HH"
// hour (24-hour), "n"/"nn" (or "m"/"mm" after an hour letter) minute,
// "s"/"ss" second. "/" stands for the date separator and ":" for the time
// separator; every other character is literal.
class DateFormat
{
public:
    // The format the system's locale gives, translated into the pattern letters.
    static DateFormat fromLocale(const QLocale &locale);
    // A format set outright (MyDateFormat, tests); the date separator is the first
    // character of the format that is not a pattern letter ('/' when there is none).
    DateFormat(const QString &shortFormat = QStringLiteral("dd/MM/yyyy"),
               QChar timeSeparator = QLatin1Char(':'));

    const QString &shortFormat() const { return m_shortFormat; }
    QChar dateSeparator() const { return m_dateSeparator; }
    QChar timeSeparator() const { return m_timeSeparator; }

    // Replaces the short date format for the rest of the run (MyDateFormat); the
    // date separator follows the new format.
    void setShortFormat(const QString &format);

    QString formatDate(const QDate &date, const QString &pattern) const;
    QString formatTime(const QTime &time, const QString &pattern) const;
    QString formatDateTime(const QDateTime &dateTime, const QString &pattern) const;
    QString shortDate(const QDate &date) const { return formatDate(date, m_shortFormat); }

    // A date typed by a user in the short date format: the order of day, month and
    // year comes from the format; fields of one or two digits; a two-digit year
    // lies within 50 years of today's; a missing year means this year. Blanks and
    // '_' (empty mask positions) are ignored. Returns nothing when it is no date.
    std::optional<QDate> parseDate(const QString &text, const QDate &today) const;
    // "date hour": a date as parseDate, a blank, then hours and minutes (and
    // optionally seconds) with the time separator.
    std::optional<QDateTime> parseDateTime(const QString &text, const QDate &today) const;
    // "hh:nn" with the time separator.
    std::optional<QTime> parseTime(const QString &text) const;
    // A row's sort key, "yyyy-MM-dd HH:mm" whatever the locale (the time separator
    // may be any one character that is not a digit). Nothing unless it is a real
    // date and time.
    static std::optional<QDateTime> parseSortKey(const QString &key);

    // The task editor's normalisation: two "M" and two "d" in the format.
    static QString normalise(const QString &format);
    void normaliseShortFormat() { setShortFormat(normalise(m_shortFormat)); }

    // A QLineEdit input mask for the short date format: optional digits (QLineEdit's
    // '0'; its '9' would demand every digit), the separators fixed, '_' for blanks
    // ("00/00/0000;_").
    QString inputMask() const;

private:
    enum class Field : unsigned char { Day, Month, Year };

    QString m_shortFormat;
    QChar m_dateSeparator;
    QChar m_timeSeparator;
    // Derived from m_shortFormat by setShortFormat, so parsing need not rescan it.
    std::array<Field, 3> m_order{Field::Day, Field::Month, Field::Year};
    // Digit counts of the fields in m_order when the format fixes all three
    // ("ddMMyyyy"), else zeros: only then can a run of bare digits be split.
    std::array<int, 3> m_widths{};
};
