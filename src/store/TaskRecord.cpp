#include "TaskRecord.h"

#include "FindBytes.h"
#include "StoreError.h"
#include "Win1252.h"

#include <QList>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <charconv>
#include <cstring>

namespace TaskRecord {

bool isSortKey(const QByteArray &f)
{
    if (f.size() != 16)
        return false;
    static const char shape[] = "9999-99-99 99_99";
    for (int i = 0; i < 16; ++i) {
        const char c = f[i];
        switch (shape[i]) {
        case '9':
            if (c < '0' || c > '9')
                return false;
            break;
        case '_':
            if (c >= '0' && c <= '9')
                return false;
            break;
        default:
            if (c != shape[i])
                return false;
        }
    }
    return true;
}

namespace {

QByteArray slice(const QByteArray &text, qsizetype from, qsizetype to)
{
    return QByteArray::fromRawData(text.constData() + from, to - from);
}

// One pass over a record text: where its separators are. The first ten and the
// last four are enough for every field lookup.
struct Separators
{
    int count = 0;
    qsizetype first[10] = {};
    qsizetype last[4] = {}; // last[3] is the last separator

    explicit Separators(const QByteArray &text)
    {
        // Sixteen bytes compared at once where the processor can (a record holds
        // few separators among many bytes), the rest byte by byte: a search call
        // per field would cost more, fields being short.
        const char *begin = text.constData();
        const qsizetype size = text.size();
        qsizetype at = 0;
#if defined(__SSE2__)
        const __m128i separator = _mm_set1_epi8(FieldSeparator);
        for (; size - at >= 16; at += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(begin + at));
            for (auto found = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, separator)));
                 found != 0; found &= found - 1)
                add(at + __builtin_ctz(found));
        }
#endif
        for (; at < size; ++at)
            if (begin[at] == FieldSeparator)
                add(at);
    }
    void add(qsizetype at)
    {
        if (count < 10)
            first[count] = at;
        last[0] = last[1];
        last[1] = last[2];
        last[2] = last[3];
        last[3] = at;
        ++count;
    }
    // Separator k counted from the end (1 = the last one).
    qsizetype fromEnd(int k) const
    {
        return last[4 - k];
    }
};

bool isColourIndex(const QByteArray &field)
{
    // One or two digits, as every record this program writes has: read here, as
    // the general reading below would, at a fraction of its cost.
    const auto digit = [&field](qsizetype i) { return field[i] >= '0' && field[i] <= '9'; };
    if (field.size() == 1 && digit(0))
        return true;
    if (field.size() == 2 && digit(0) && digit(1))
        return (field[0] - '0') * 10 + (field[1] - '0') <= 18;
    bool ok = false;
    const int v = field.toInt(&ok);
    return ok && v >= 0 && v <= 18 && !field.startsWith('+') && !field.startsWith(' ');
}

QByteArray joinParts(const QByteArray &text, const QList<qsizetype> &seps, int firstPart,
                     int lastPart)
{
    // Parts firstPart..lastPart, the separators between them kept as '|'.
    const qsizetype from = firstPart == 0 ? 0 : seps[firstPart - 1] + 1;
    const qsizetype to = lastPart >= seps.size() ? text.size() : seps[lastPart];
    QByteArray out = text.mid(from, to - from);
    out.replace(FieldSeparator, SeparatorStandIn);
    return out;
}

// More than ten fields: the extra separators were typed into a text field by an
// older release. When the tail is well-formed they belong to the task text,
// otherwise to the note.
// last[k] is separator k + 1 counted from the end (last[0] the last one).
bool tailIsWellFormed(const QByteArray &text, const qsizetype (&last)[4])
{
    // Part n-2 (the colour) lies between the last two separators; part n-4 (the
    // sort key) between the fourth and third from the end.
    const QByteArray colour = slice(text, last[1] + 1, last[0]);
    const QByteArray sortKey = slice(text, last[3] + 1, last[2]);
    return isColourIndex(colour) && isSortKey(sortKey);
}

bool tailIsWellFormed(const QByteArray &text, const Separators &seps)
{
    return tailIsWellFormed(text,
                            {seps.fromEnd(1), seps.fromEnd(2), seps.fromEnd(3), seps.fromEnd(4)});
}

} // namespace

QByteArray Span::in(const QByteArray &text) const
{
    return slice(text, from, to);
}

Span categorySpan(const QByteArray &text)
{
    // From the end first: a well-formed tail places the category whatever the count
    // of fields before it, and spares a pass over the whole record (a category
    // delete asks this of every record that holds the name).
    qsizetype last[4] = {};
    int found = 0;
    for (qsizetype to = text.size(); found < 4; ++found) {
        const void *at = memrchr(text.constData(), FieldSeparator, size_t(to));
        if (!at)
            break;
        to = last[found] = static_cast<const char *>(at) - text.constData();
    }
    if (found == 4 && tailIsWellFormed(text, last))
        return {last[2] + 1, last[1]};
    const Separators seps(text);
    if (seps.count > 9 && !tailIsWellFormed(text, seps))
        return {seps.first[6] + 1, seps.first[7]};
    if (seps.count < 2)
        return {0, 0};
    const qsizetype from = seps.count >= 3 ? seps.fromEnd(3) + 1 : 0;
    return {from, seps.fromEnd(2)};
}

bool categoryIsAt(const QByteArray &text, qsizetype from, qsizetype to)
{
    // Between separators, holding none, followed by the colour and the note (one
    // separator more, then none) and preceded by the sort key: then these are the
    // last four separators, and a well-formed tail makes it the category.
    const char *begin = text.constData();
    const qsizetype size = text.size();
    const auto separatorIn = [begin](qsizetype a, qsizetype b) -> const char * {
        return a < b ? static_cast<const char *>(
                           std::memchr(begin + a, FieldSeparator, size_t(b - a)))
                     : nullptr;
    };
    if (from >= 1 && from <= to && to < size && begin[from - 1] == FieldSeparator &&
        begin[to] == FieldSeparator && !separatorIn(from, to)) {
        if (const char *colourEnd = separatorIn(to + 1, size)) {
            const qsizetype s1 = colourEnd - begin;
            qsizetype s4 = from - 2;
            while (s4 >= 0 && begin[s4] != FieldSeparator)
                --s4;
            if (!separatorIn(s1 + 1, size) && s4 >= 0 &&
                tailIsWellFormed(text, {s1, to, from - 1, s4}))
                return true;
        }
    }
    const Span s = categorySpan(text);
    return s.from == from && s.to == to;
}

std::optional<Span> categoryNamed(const QByteArray &text, const QByteArray &name,
                                  qsizetype searchFrom)
{
    const char *const begin = text.constData();
    const char *const end = begin + text.size();
    const qsizetype n = name.size();
    const auto whereItStands = [&]() -> std::optional<Span> {
        const Span s = categorySpan(text);
        if (s.to - s.from == n && std::memcmp(begin + s.from, name.constData(), size_t(n)) == 0)
            return s;
        return std::nullopt;
    };
    if (n == 0)
        return whereItStands();
    for (const char *found = begin + std::clamp<qsizetype>(searchFrom, 0, text.size());
         (found = findBytes(found, end, name.constData(), size_t(n))); ++found) {
        // A category is a whole field: bytes inside a longer field send the search on.
        const qsizetype from = found - begin;
        const qsizetype to = from + n;
        if ((from > 0 && begin[from - 1] != FieldSeparator) ||
            (to < text.size() && begin[to] != FieldSeparator))
            continue;
        if (categoryIsAt(text, from, to))
            return Span{from, to};
        // Found whole in another field (a task text that is the name).
        return whereItStands();
    }
    return std::nullopt;
}

QString category(const QByteArray &text)
{
    return Win1252::decode(categorySpan(text).in(text));
}

bool taskFieldIsBlank(const QByteArray &text)
{
    const char *begin = text.constData();
    const char *end = begin + text.size();
    const void *sep = std::memchr(begin, FieldSeparator, size_t(end - begin));
    if (!sep)
        return true;
    for (const char *p = static_cast<const char *>(sep) + 1; p < end && *p != FieldSeparator; ++p)
        if (static_cast<unsigned char>(*p) > 0x20)
            return false;
    return true;
}

bool isBlank(const QByteArray &text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) > 0x20)
            return false;
    return true;
}

std::optional<QByteArray> fieldBytes(const QByteArray &text, int col)
{
    const Separators seps(text);
    if (seps.count > 9)
        return std::nullopt;
    if (col > seps.count)
        return QByteArray();
    const qsizetype from = col == 0 ? 0 : seps.first[col - 1] + 1;
    const qsizetype to = col < seps.count ? seps.first[col] : text.size();
    return slice(text, from, to);
}

std::optional<std::array<QByteArray, Col::Count>> allFieldBytes(const QByteArray &text)
{
    const Separators seps(text);
    if (seps.count > 9)
        return std::nullopt;
    std::array<QByteArray, Col::Count> out;
    for (int col = 0; col <= seps.count; ++col)
        out[size_t(col)] = slice(text, col == 0 ? 0 : seps.first[col - 1] + 1,
                                 col < seps.count ? seps.first[col] : text.size());
    return out;
}

QString field(const QByteArray &text, int col)
{
    if (const std::optional<QByteArray> bytes = fieldBytes(text, col))
        return Win1252::decode(*bytes);
    return split(text)[size_t(col)];
}

TaskRow split(const QByteArray &text)
{
    TaskRow row;
    QList<qsizetype> seps;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == FieldSeparator)
            seps.append(i);
    const int count = int(seps.size());
    auto part = [&](int i) {
        const qsizetype from = i == 0 ? 0 : seps[i - 1] + 1;
        const qsizetype to = i >= count ? text.size() : seps[i];
        return Win1252::decode(slice(text, from, to));
    };
    if (count <= 9) {
        for (int i = 0; i <= count; ++i)
            row[size_t(i)] = part(i);
        return row;
    }
    const int n = count + 1;
    if (tailIsWellFormed(text, Separators(text))) {
        row[Col::Done] = part(0);
        row[Col::Task] = Win1252::decode(joinParts(text, seps, 1, n - 9));
        for (int c = Col::Date; c < Col::Count; ++c)
            row[size_t(c)] = part(n - 10 + c);
    } else {
        for (int c = 0; c < Col::Note; ++c)
            row[size_t(c)] = part(c);
        row[Col::Note] = Win1252::decode(joinParts(text, seps, 9, n - 1));
    }
    return row;
}

QByteArray join(const TaskRow &row)
{
    QByteArray out;
    for (int c = 0; c < Col::Count; ++c) {
        if (c > 0)
            out.append(FieldSeparator);
        out.append(Win1252::encode(row[size_t(c)]));
    }
    return out;
}

bool withOrder(const QByteArray &text, qint64 order, QByteArray &out)
{
    QByteArray record;
    if (!appendWithOrder(text, order, record))
        return false;
    out = record.mid(4);
    return true;
}

bool isBlankField(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) {
        return c == ' ' || (c >= '\t' && c <= '\r') || quint8(c) == 0xA0;
    });
}

bool appendWithOrder(const QByteArray &text, qint64 order, QByteArray &out,
                     bool midnightForBlankHour)
{
    const Separators seps(text);
    if (seps.count != 9)
        return false;
    char number[24];
    const auto [end, error] = std::to_chars(number, number + sizeof number, order);
    const qsizetype digits = error == std::errc() ? end - number : 0;
    // The hour's field, then the order's, put in place of what the text holds there.
    const QByteArray midnight("00:00");
    const qsizetype hourFrom = seps.first[Col::Hour - 1] + 1;
    const qsizetype hourTo = seps.first[Col::Hour];
    const bool newHour = midnightForBlankHour && isBlankField(slice(text, hourFrom, hourTo));
    const qsizetype from = seps.first[Col::Order - 1] + 1;
    const qsizetype to = seps.first[Col::Order];
    const qsizetype length =
        text.size() - (to - from) + digits + (newHour ? midnight.size() - (hourTo - hourFrom) : 0);
    const qsizetype at = out.size();
    out.resize(at + 4 + length);
    char *p = out.data() + at;
    for (int i = 0; i < 4; ++i)
        p[i] = char((quint32(length) >> (8 * i)) & 0xFF);
    p += 4;
    const auto put = [&p](const char *bytes, qsizetype count) {
        std::memcpy(p, bytes, size_t(count));
        p += count;
    };
    if (newHour) {
        put(text.constData(), hourFrom);
        put(midnight.constData(), midnight.size());
        put(text.constData() + hourTo, from - hourTo);
    } else {
        put(text.constData(), from);
    }
    put(number, digits);
    put(text.constData() + to, text.size() - to);
    return true;
}

qint64 orderOffset(const QString &orderText)
{
    bool ok = false;
    const qint64 v = orderText.trimmed().toLongLong(&ok);
    if (!ok || orderText.trimmed().isEmpty())
        throw StoreError::invalidInteger(orderText);
    return v;
}

QByteArray lengthPrefix(qint64 length)
{
    const quint32 n = quint32(length);
    QByteArray out(4, Qt::Uninitialized);
    out[0] = char(n & 0xFF);
    out[1] = char((n >> 8) & 0xFF);
    out[2] = char((n >> 16) & 0xFF);
    out[3] = char((n >> 24) & 0xFF);
    return out;
}

std::optional<QByteArray> textAt(const QByteArray &bytes, qint64 pos)
{
    const qint64 size = bytes.size();
    if (size - pos < 4)
        return std::nullopt;
    const qint32 length = readLength(bytes.constData() + pos);
    if (length < 0 || length > size - pos - 4)
        return std::nullopt;
    return slice(bytes, pos + 4, pos + 4 + length);
}

} // namespace TaskRecord
