#include "SortRows.h"

#include "store/TaskTable.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include <random>

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
    if (n < 2 || sortByDigits(table, column, ascending))
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
