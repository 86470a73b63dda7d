#include "DateFormat.h"

#include "TaskRecord.h"

#include <QStringView>

namespace {

bool isPatternLetter(QChar c)
{
    switch (c.unicode()) {
    case u'd':
    case u'M':
    case u'm':
    case u'y':
    case u'h':
    case u'H':
    case u'n':
    case u's':
        return true;
    default:
        return false;
    }
}

// Bidi marks and the like (some locales put them around separators) are never
// the separator a user types.
bool isInvisible(QChar c)
{
    return c.category() == QChar::Other_Format;
}

enum class Tok { Literal, DateSep, TimeSep, Day, Month, Year, Hour, Minute, Second };

// Walks a pattern one field (a run of one letter) or one literal character at a
// time, deciding for "m" whether it is a month or a minute from the field before.
class PatternScanner
{
public:
    explicit PatternScanner(QStringView pattern) : m_p(pattern) {}

    bool next(Tok &kind, int &count, QChar &ch)
    {
        if (m_i >= m_p.size())
            return false;
        ch = m_p[m_i];
        count = 1;
        if (!isPatternLetter(ch)) {
            ++m_i;
            kind = ch == u'/' ? Tok::DateSep : ch == u':' ? Tok::TimeSep : Tok::Literal;
            return true;
        }
        while (m_i + count < m_p.size() && m_p[m_i + count] == ch)
            ++count;
        m_i += count;
        switch (ch.unicode()) {
        case u'd':
            kind = Tok::Day;
            break;
        case u'M':
            kind = Tok::Month;
            break;
        case u'y':
            kind = Tok::Year;
            break;
        case u'h':
        case u'H':
            kind = Tok::Hour;
            break;
        case u'n':
            kind = Tok::Minute;
            break;
        case u's':
            kind = Tok::Second;
            break;
        default: // 'm'
            if (m_context == Context::Time)
                kind = Tok::Minute;
            else if (m_context == Context::Date)
                kind = Tok::Month;
            else
                kind = nextLetter() == u's' ? Tok::Minute : Tok::Month; // "mm:ss"
        }
        m_context = (kind == Tok::Day || kind == Tok::Month || kind == Tok::Year) ? Context::Date
                                                                                  : Context::Time;
        return true;
    }

private:
    enum class Context { None, Date, Time };

    QChar nextLetter() const
    {
        for (qsizetype j = m_i; j < m_p.size(); ++j) {
            if (isPatternLetter(m_p[j]))
                return m_p[j];
        }
        return QChar();
    }

    QStringView m_p;
    qsizetype m_i = 0;
    Context m_context = Context::None;
};

void appendNumber(QString &out, int value, int minDigits)
{
    if (value < 0) {
        out += u'-';
        value = -value;
    }
    char16_t buf[12];
    int n = 0;
    do {
        buf[n++] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int k = n; k < minDigits; ++k)
        out += u'0';
    while (n > 0)
        out += QChar(buf[--n]);
}

// Date fields are left out when date is invalid (a time formatted alone).
QString render(QStringView pattern, const QDate &date, const QTime &time, QChar dateSep,
               QChar timeSep)
{
    QString out;
    out.reserve(pattern.size() + 8);
    PatternScanner scan(pattern);
    Tok kind;
    int count;
    QChar ch;
    const bool hasDate = date.isValid();
    while (scan.next(kind, count, ch)) {
        switch (kind) {
        case Tok::Literal:
            out += ch;
            break;
        case Tok::DateSep:
            out += dateSep;
            break;
        case Tok::TimeSep:
            out += timeSep;
            break;
        case Tok::Day:
            if (!hasDate)
                break;
            if (count <= 2)
                appendNumber(out, date.day(), count);
            else
                out += QLocale().dayName(date.dayOfWeek(),
                                         count == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            break;
        case Tok::Month:
            if (!hasDate)
                break;
            if (count <= 2)
                appendNumber(out, date.month(), count);
            else
                out += QLocale().monthName(date.month(),
                                           count == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
            break;
        case Tok::Year:
            if (!hasDate)
                break;
            if (count <= 2)
                appendNumber(out, date.year() % 100, 2);
            else
                appendNumber(out, date.year(), 4);
            break;
        case Tok::Hour:
            appendNumber(out, time.hour(), count >= 2 ? 2 : 1);
            break;
        case Tok::Minute:
            appendNumber(out, time.minute(), count >= 2 ? 2 : 1);
            break;
        case Tok::Second:
            appendNumber(out, time.second(), count >= 2 ? 2 : 1);
            break;
        }
    }
    return out;
}

// A Qt locale format ('…' literals, letters d M y) in our pattern letters. Our
// patterns cannot quote, so literal characters that would read as fields go.
QString translateQtDateFormat(const QString &qt)
{
    QString out;
    bool quoted = false;
    const qsizetype n = qt.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = qt[i];
        if (c == u'\'') {
            if (i + 1 < n && qt[i + 1] == u'\'') {
                out += c;
                ++i;
            } else {
                quoted = !quoted;
            }
            continue;
        }
        if (!isPatternLetter(c)) {
            out += c;
            continue;
        }
        if (quoted)
            continue;
        qsizetype run = 1;
        while (i + run < n && qt[i + run] == c)
            ++run;
        i += run - 1;
        if (c == u'y')
            out += run <= 2 ? QStringLiteral("yy") : QStringLiteral("yyyy");
        else if (c == u'd' || c == u'M')
            out += QString(qMin<qsizetype>(run, 4), c);
        // Time letters have no place in a date format.
    }
    return out;
}

QChar timeSeparatorOf(const QString &qtTimeFormat)
{
    bool quoted = false;
    for (const QChar c : qtTimeFormat) {
        if (c == u'\'') {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace() && !isInvisible(c))
            return c;
    }
    return u':';
}

int digitsValue(QStringView digits)
{
    int v = 0;
    for (const QChar c : digits)
        v = v * 10 + c.digitValue();
    return v;
}

// Letters only, case ignored: "set." in a locale's list matches a typed "Set".
bool sameLetters(QStringView typed, const QString &name)
{
    qsizetype k = 0;
    for (const QChar c : name) {
        if (!c.isLetter())
            continue;
        if (k >= typed.size() || typed[k].toCaseFolded() != c.toCaseFolded())
            return false;
        ++k;
    }
    return k == typed.size() && k > 0;
}

int monthFromName(QStringView typed)
{
    const QLocale locales[] = {QLocale(), QLocale::c()};
    for (const QLocale &locale : locales) {
        for (int m = 1; m <= 12; ++m) {
            if (sameLetters(typed, locale.monthName(m, QLocale::ShortFormat)) ||
                sameLetters(typed, locale.monthName(m, QLocale::LongFormat)) ||
                sameLetters(typed, locale.standaloneMonthName(m, QLocale::ShortFormat)) ||
                sameLetters(typed, locale.standaloneMonthName(m, QLocale::LongFormat)))
                return m;
        }
    }
    return 0;
}

struct TypedField
{
    QStringView text;
    bool named = false;
};

// Keeps a two-digit year within fifty years of today's: [year - 50, year + 49].
int widenYear(int twoDigits, int currentYear)
{
    const int windowStart = currentYear - 50;
    int year = twoDigits + windowStart / 100 * 100;
    if (year < windowStart)
        year += 100;
    return year;
}

} // namespace

DateFormat DateFormat::fromLocale(const QLocale &locale)
{
    return DateFormat(translateQtDateFormat(locale.dateFormat(QLocale::ShortFormat)),
                      timeSeparatorOf(locale.timeFormat(QLocale::ShortFormat)));
}

DateFormat::DateFormat(const QString &shortFormat, QChar timeSeparator)
    : m_timeSeparator(timeSeparator)
{
    setShortFormat(shortFormat);
}

void DateFormat::setShortFormat(const QString &format)
{
    m_shortFormat = format;
    m_dateSeparator = u'/';
    for (const QChar c : format) {
        if (!isPatternLetter(c) && !isInvisible(c)) {
            m_dateSeparator = c;
            break;
        }
    }

    // Field order and widths come from each field's first appearance.
    int found = 0;
    bool seen[3] = {false, false, false};
    int widths[3] = {0, 0, 0};
    PatternScanner scan(format);
    Tok kind;
    int count;
    QChar ch;
    while (found < 3 && scan.next(kind, count, ch)) {
        Field f;
        int width = 0;
        if (kind == Tok::Day && count <= 2) { // "ddd" is the weekday's name
            f = Field::Day;
            width = count == 2 ? 2 : 0;
        } else if (kind == Tok::Month) {
            f = Field::Month;
            width = count == 2 ? 2 : 0;
        } else if (kind == Tok::Year) {
            f = Field::Year;
            width = count <= 2 ? 2 : 4;
        } else {
            continue;
        }
        if (seen[int(f)])
            continue;
        seen[int(f)] = true;
        widths[int(f)] = width;
        m_order[size_t(found++)] = f;
    }
    for (Field f : {Field::Day, Field::Month, Field::Year}) {
        if (!seen[int(f)])
            m_order[size_t(found++)] = f;
    }
    const bool fixed = widths[0] > 0 && widths[1] > 0 && widths[2] > 0;
    for (size_t k = 0; k < 3; ++k)
        m_widths[k] = fixed ? widths[int(m_order[k])] : 0;
}

QString DateFormat::formatDate(const QDate &date, const QString &pattern) const
{
    if (!date.isValid())
        return QString();
    return render(pattern, date, QTime(0, 0), m_dateSeparator, m_timeSeparator);
}

QString DateFormat::formatTime(const QTime &time, const QString &pattern) const
{
    if (!time.isValid())
        return QString();
    return render(pattern, QDate(), time, m_dateSeparator, m_timeSeparator);
}

QString DateFormat::formatDateTime(const QDateTime &dateTime, const QString &pattern) const
{
    if (!dateTime.isValid())
        return QString();
    return render(pattern, dateTime.date(), dateTime.time(), m_dateSeparator, m_timeSeparator);
}

std::optional<QDate> DateFormat::parseDate(const QString &text, const QDate &today) const
{
    // Digit runs and letter runs are the fields. Blanks, '_' and invisible marks
    // only part them; any other character is a separator, and two separators with
    // no field between (or one before the first field) mean a field was left out.
    // Trailing separators are fine: the mask keeps them when the year is left empty.
    TypedField fields[3];
    int count = 0;
    bool separatorPending = false;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n;) {
        const QChar c = text[i];
        if (c.isDigit() || c.isLetter()) {
            const bool named = c.isLetter();
            qsizetype end = i + 1;
            while (end < n && (named ? text[end].isLetter() : text[end].isDigit()))
                ++end;
            const QStringView run = QStringView(text).mid(i, end - i);
            i = end;
            // A word the format itself carries ("г." after a Bulgarian date) is literal.
            if (named && m_shortFormat.contains(run))
                continue;
            if (count == 3)
                return std::nullopt;
            fields[count++] = TypedField{run, named};
            separatorPending = false;
            continue;
        }
        ++i;
        if (c.isSpace() || c == u'_' || isInvisible(c))
            continue;
        if (count == 0 || separatorPending)
            return std::nullopt;
        separatorPending = true;
    }

    QStringView day, month, year;
    bool monthNamed = false;
    auto assign = [&](Field f, const TypedField &field) {
        if (f == Field::Day)
            day = field.text;
        else if (f == Field::Month)
            month = field.text, monthNamed = field.named;
        else
            year = field.text;
    };
    if (count == 3) {
        for (int k = 0; k < 3; ++k) {
            if (fields[k].named && m_order[size_t(k)] != Field::Month)
                return std::nullopt;
            assign(m_order[size_t(k)], fields[k]);
        }
    } else if (count == 2) {
        int k = 0;
        for (Field f : m_order) {
            if (f == Field::Year)
                continue;
            if (fields[k].named && f != Field::Month)
                return std::nullopt;
            assign(f, fields[k++]);
        }
    } else if (count == 1 && !fields[0].named && m_widths[0] > 0 &&
               fields[0].text.size() == m_widths[0] + m_widths[1] + m_widths[2]) {
        qsizetype at = 0;
        for (size_t k = 0; k < 3; ++k) {
            assign(m_order[k], TypedField{fields[0].text.mid(at, m_widths[k]), false});
            at += m_widths[k];
        }
    } else {
        return std::nullopt;
    }

    if (day.size() < 1 || day.size() > 2)
        return std::nullopt;
    int m = 0;
    if (monthNamed) {
        m = monthFromName(month);
    } else if (month.size() >= 1 && month.size() <= 2) {
        m = digitsValue(month);
    }
    if (m == 0)
        return std::nullopt;
    int y = today.year();
    if (!year.isNull()) {
        if (year.size() == 4)
            y = digitsValue(year);
        else if (year.size() == 1 || year.size() == 2)
            y = widenYear(digitsValue(year), today.year());
        else
            return std::nullopt;
    }
    const QDate date(y, m, digitsValue(day));
    if (!date.isValid())
        return std::nullopt;
    return date;
}

std::optional<QTime> DateFormat::parseTime(const QString &text) const
{
    const QString t = text.trimmed();
    int parts[3] = {0, 0, 0};
    int count = 0;
    qsizetype i = 0;
    const qsizetype n = t.size();
    while (true) {
        qsizetype end = i;
        while (end < n && t[end].isDigit())
            ++end;
        if (end == i || end - i > 2 || count == 3)
            return std::nullopt;
        parts[count++] = digitsValue(QStringView(t).mid(i, end - i));
        if (end == n)
            break;
        if (t[end] != m_timeSeparator && t[end] != u':')
            return std::nullopt;
        i = end + 1;
    }
    if (count < 2)
        return std::nullopt;
    if (parts[0] > 23 || parts[1] > 59 || parts[2] > 59)
        return std::nullopt;
    return QTime(parts[0], parts[1], parts[2]);
}

std::optional<QDateTime> DateFormat::parseDateTime(const QString &text, const QDate &today) const
{
    // The hour follows the last blank, since a date separator may be a blank too.
    const QString t = text.trimmed();
    qsizetype cut = t.size() - 1;
    while (cut >= 0 && !t[cut].isSpace())
        --cut;
    if (cut < 0)
        return std::nullopt;
    const auto time = parseTime(t.mid(cut + 1));
    if (!time)
        return std::nullopt;
    const auto date = parseDate(t.left(cut), today);
    if (!date)
        return std::nullopt;
    return QDateTime(*date, *time);
}

std::optional<QDateTime> DateFormat::parseSortKey(const QString &key)
{
    // A character past Latin-1 becomes '?': a digit it is not, as the key's
    // shape asks of its time separator only.
    if (!TaskRecord::isSortKey(key.toLatin1()))
        return std::nullopt;
    const QStringView k(key);
    const QDate date(digitsValue(k.mid(0, 4)), digitsValue(k.mid(5, 2)), digitsValue(k.mid(8, 2)));
    const QTime time(digitsValue(k.mid(11, 2)), digitsValue(k.mid(14, 2)));
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time);
}

QString DateFormat::normalise(const QString &format)
{
    QString f = format;
    for (const QChar letter : {QChar(u'M'), QChar(u'd')}) {
        qsizetype n = f.count(letter);
        while (n > 2) {
            f.remove(f.indexOf(letter), 1);
            --n;
        }
        if (n < 2) {
            const qsizetype first = f.indexOf(letter);
            f.insert(first < 0 ? 0 : first + 1, letter);
        }
    }
    return f;
}

QString DateFormat::inputMask() const
{
    QString sep(m_dateSeparator);
    if (QStringView(u"AaNnXx90DdHhBb#<>!{}[]\\").contains(m_dateSeparator))
        sep.prepend(u'\\');

    const QString &f = m_shortFormat;
    const qsizetype first = f.indexOf(m_dateSeparator);
    const qsizetype second = first < 0 ? -1 : f.indexOf(m_dateSeparator, first + 1);
    const QChar digit = u'0';
    QString mask;
    if (first < 0) {
        mask = QString(f.size(), digit);
    } else if (second < 0) {
        mask = QString(first, digit) + sep + QString(f.size() - first - 1, digit);
    } else {
        mask = QString(first, digit) + sep + QString(second - first - 1, digit) + sep +
               QString(f.size() - second - 1, digit);
    }
    return mask + QStringLiteral(";_");
}
