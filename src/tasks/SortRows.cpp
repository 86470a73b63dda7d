#include "SortRows.h"

#include "store/TaskTable.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include <array>
#include <optional>
#include <random>
#include <string>
#include <string_view>

namespace {

QCollator &collator()
{
    thread_local QCollator c = [] {
        QCollator col{QLocale()};
        col.setCaseSensitivity(Qt::CaseInsensitive);
        return col;
    }();
    return c;
}

// Without a locale's collation (the C locale) Qt compares the texts' code
// points, and its sort keys keep case: fold case first so that case is ignored
// there too.
bool plainCodePoints()
{
    thread_local const bool plain = collator().locale().language() == QLocale::C;
    return plain;
}

QCollatorSortKey sortKey(const QString &text)
{
    return collator().sortKey(plainCodePoints() ? text.toCaseFolded() : text);
}

std::mt19937 &randomSource()
{
    thread_local std::mt19937 gen(0x5eed);
    return gen;
}

// Texts of one shape - the same length, a digit wherever the first has one and
// its other characters everywhere else (dates, hours, priorities) - collate in
// every locale as their digits read as a number, the empty text first. Such a
// column sorts by that number, without a collation key per text. False when a
// text has another shape.
bool sortByDigits(TaskTable &table, int column, bool ascending)
{
    const int n = table.rowCount() - 1;
    QString shape;
    std::vector<std::pair<quint64, int>> keyed;
    keyed.reserve(size_t(n));
    constexpr int MostDigits = 18; // 10^18 stays clear of the top of 64 bits
    for (int r = 1; r <= n; ++r) {
        const QString text = table.cell(column, r);
        if (text.isEmpty()) {
            keyed.emplace_back(0, r);
            continue;
        }
        if (shape.isNull()) {
            shape = text;
            int digits = 0;
            for (QChar c : text)
                digits += c.isDigit() && c.unicode() < 0x80;
            if (digits == 0 || digits > MostDigits)
                return false;
        }
        if (text.size() != shape.size())
            return false;
        quint64 value = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const char16_t s = shape[i].unicode();
            const char16_t c = text[i].unicode();
            if (s >= '0' && s <= '9') {
                if (c < '0' || c > '9')
                    return false;
                value = value * 10 + (c - '0');
            } else if (c != s) {
                return false;
            }
        }
        keyed.emplace_back(value + 1, r);
    }
    if (ascending)
        std::sort(keyed.begin(), keyed.end(),
                  [](const auto &a, const auto &b) { return a.first < b.first; });
    else
        std::sort(keyed.begin(), keyed.end(),
                  [](const auto &a, const auto &b) { return a.first > b.first; });
    std::vector<int> rows;
    rows.reserve(size_t(n));
    for (const auto &k : keyed)
        rows.push_back(k.second);
    table.permuteTasks(rows);
    return true;
}

// Collations that compare texts of printable ASCII character by character: the
// C locale and these languages (no contraction or reordering of ASCII letters).
bool comparesAsciiByCharacter(QLocale::Language language)
{
    static const QLocale::Language simple[] = {
        QLocale::C,      QLocale::English, QLocale::Portuguese, QLocale::Spanish,
        QLocale::French, QLocale::German,  QLocale::Italian,    QLocale::Dutch};
    return std::find(std::begin(simple), std::end(simple), language) != std::end(simple);
}

// Each printable ASCII character's place in the collation (equal ranks for the
// two cases of a letter); none where the collation is not character by character.
const std::array<quint8, 128> *asciiRanks()
{
    thread_local const std::optional<std::array<quint8, 128>> ranks =
        []() -> std::optional<std::array<quint8, 128>> {
        if (!comparesAsciiByCharacter(collator().locale().language()))
            return std::nullopt;
        std::vector<QString> chars;
        for (char16_t c = 0x20; c <= 0x7E; ++c)
            chars.emplace_back(QChar(c));
        std::stable_sort(chars.begin(), chars.end(), [](const QString &a, const QString &b) {
            return CompareCellText(a, b) < 0;
        });
        std::array<quint8, 128> out{};
        quint8 rank = 1;
        for (size_t i = 0; i < chars.size(); ++i) {
            if (i > 0 && CompareCellText(chars[i - 1], chars[i]) != 0)
                ++rank;
            out[chars[i][0].unicode()] = rank;
        }
        return out;
    }();
    return ranks ? &*ranks : nullptr;
}

// A column of printable ASCII texts under such a collation sorts by the ranks of
// its characters, one byte each: no collation key object per text. False when
// a text holds another character.
bool sortByAsciiRanks(TaskTable &table, int column, bool ascending)
{
    const std::array<quint8, 128> *ranks = asciiRanks();
    if (!ranks)
        return false;
    const int n = table.rowCount() - 1;
    std::string keys;
    keys.reserve(size_t(n) * 32);
    std::vector<quint32> start(size_t(n) + 1);
    for (int r = 1; r <= n; ++r) {
        start[size_t(r - 1)] = quint32(keys.size());
        for (QChar c : table.cell(column, r)) {
            const char16_t u = c.unicode();
            if (u < 0x20 || u > 0x7E)
                return false;
            keys.push_back(char((*ranks)[u]));
        }
    }
    start[size_t(n)] = quint32(keys.size());
    const auto key = [&](int i) {
        return std::string_view(keys.data() + start[size_t(i)],
                                start[size_t(i) + 1] - start[size_t(i)]);
    };
    std::vector<int> rows(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        rows[size_t(k)] = k;
    if (ascending)
        std::sort(rows.begin(), rows.end(), [&](int a, int b) { return key(a) < key(b); });
    else
        std::sort(rows.begin(), rows.end(), [&](int a, int b) { return key(b) < key(a); });
    for (int &r : rows)
        ++r;
    table.permuteTasks(rows);
    return true;
}

} // namespace

int CompareCellText(const QString &a, const QString &b)
{
    if (plainCodePoints())
        return a.toCaseFolded().compare(b.toCaseFolded());
    return collator().compare(a, b);
}

void QuickSortRows(std::vector<int> &rows, const std::vector<int> &rank, int lo, int hi,
                   bool ascending)
{
    while (lo < hi) {
        std::uniform_int_distribution<int> pick(lo, hi);
        const int pivot = rank[size_t(rows[size_t(pick(randomSource()))])];
        // Dutch-flag partition: [lo, lt) before, [lt, gt] equal, (gt, hi] after.
        int lt = lo, i = lo, gt = hi;
        while (i <= gt) {
            const int k = rank[size_t(rows[size_t(i)])];
            const bool before = ascending ? k < pivot : k > pivot;
            const bool after = ascending ? k > pivot : k < pivot;
            if (before)
                std::swap(rows[size_t(lt++)], rows[size_t(i++)]);
            else if (after)
                std::swap(rows[size_t(i)], rows[size_t(gt--)]);
            else
                ++i;
        }
        // Recurse into the smaller side to keep the stack shallow.
        if (lt - lo < hi - gt) {
            QuickSortRows(rows, rank, lo, lt - 1, ascending);
            lo = gt + 1;
        } else {
            QuickSortRows(rows, rank, gt + 1, hi, ascending);
            hi = lt - 1;
        }
    }
}

void SortRows(TaskTable &table, int column, bool ascending)
{
    const int n = table.rowCount() - 1;
    if (n < 2 || sortByDigits(table, column, ascending) ||
        sortByAsciiRanks(table, column, ascending))
        return;
    // Collation keys for the distinct texts only: status, priority and category
    // columns hold a handful of values.
    QHash<QString, int> distinctIndex;
    distinctIndex.reserve(n);
    std::vector<int> textOf(size_t(n) + 1, 0);
    std::vector<QString> distinct;
    for (int r = 1; r <= n; ++r) {
        const QString text = table.cell(column, r);
        auto it = distinctIndex.constFind(text);
        if (it == distinctIndex.constEnd()) {
            it = distinctIndex.insert(text, int(distinct.size()));
            distinct.push_back(text);
        }
        textOf[size_t(r)] = it.value();
    }
    std::vector<QCollatorSortKey> keys;
    keys.reserve(distinct.size());
    for (const QString &t : distinct)
        keys.push_back(sortKey(t));
    std::vector<int> byKey(distinct.size());
    for (size_t i = 0; i < byKey.size(); ++i)
        byKey[i] = int(i);
    std::sort(byKey.begin(), byKey.end(),
              [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    // Texts that collate equal (differing only in case) share a rank.
    std::vector<int> rankOfText(distinct.size());
    int rank = 0;
    for (size_t i = 0; i < byKey.size(); ++i) {
        if (i > 0 && keys[size_t(byKey[i - 1])].compare(keys[size_t(byKey[i])]) != 0)
            ++rank;
        rankOfText[size_t(byKey[i])] = rank;
    }
    std::vector<int> rankOfRow(size_t(n) + 1, 0);
    for (int r = 1; r <= n; ++r)
        rankOfRow[size_t(r)] = rankOfText[size_t(textOf[size_t(r)])];

    std::vector<int> rows(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        rows[size_t(k)] = k + 1;
    QuickSortRows(rows, rankOfRow, 0, n - 1, ascending);
    table.permuteTasks(rows);
}
