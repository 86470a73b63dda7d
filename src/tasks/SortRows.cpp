#include "SortRows.h"

#include "store/StoreError.h"
#include "store/TaskTable.h"
#include "store/Win1252.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <algorithm>
#include <array>
#include <functional>
#include <optional>
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

// Where each row's record lies in its file, by row number: rows with equal keys
// keep that order, so that a sort has one result only, the one a fresh load and
// sort gives (a new record, the file's last, goes after the rows it ties with).
// A table whose rows name no record (built by hand) keeps its rows' order.
std::vector<qint64> fileOrder(const TaskTable &table)
{
    const int n = table.rowCount() - 1;
    std::vector<qint64> tie(size_t(n) + 1, 0);
    try {
        for (int r = 1; r <= n; ++r)
            tie[size_t(r)] = table.recordOffset(r);
    } catch (const StoreError &) {
        for (int r = 1; r <= n; ++r)
            tie[size_t(r)] = r;
    }
    return tie;
}

// A row's sort key with its place in the file beside it, so that the sort reads
// neighbouring memory only.
template <class Key> struct Keyed
{
    Key key;
    qint64 tie;
    int row;
};

// Row order by key, either way; ties in file order.
template <class Key> std::vector<int> orderKeyed(std::vector<Keyed<Key>> &&keyed, bool ascending)
{
    std::sort(keyed.begin(), keyed.end(), [ascending](const Keyed<Key> &a, const Keyed<Key> &b) {
        if (a.key < b.key)
            return ascending;
        if (b.key < a.key)
            return !ascending;
        return a.tie < b.tie;
    });
    std::vector<int> rows;
    rows.reserve(keyed.size());
    for (const Keyed<Key> &k : keyed)
        rows.push_back(k.row);
    return rows;
}

// Row order by a rank from 0 to ranks - 1 (a column of few distinct texts), either
// way, ties in file order: the rows in file order, counted into their ranks' places.
std::vector<int> orderByRank(const std::vector<int> &rankOfRow, int ranks, bool ascending,
                             const std::vector<qint64> &tie)
{
    const int n = int(rankOfRow.size()) - 1;
    std::vector<int> inFile(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        inFile[size_t(k)] = k + 1;
    // A table fresh from its file is in file order already.
    const auto byTie = [&tie](int a, int b) { return tie[size_t(a)] < tie[size_t(b)]; };
    if (!std::is_sorted(inFile.begin(), inFile.end(), byTie))
        std::sort(inFile.begin(), inFile.end(), byTie);
    std::vector<int> start(size_t(ranks) + 1, 0);
    for (int r = 1; r <= n; ++r)
        ++start[size_t(ascending ? rankOfRow[size_t(r)] : ranks - 1 - rankOfRow[size_t(r)]) + 1];
    for (size_t k = 1; k < start.size(); ++k)
        start[k] += start[k - 1];
    std::vector<int> rows(static_cast<size_t>(n));
    for (int r : inFile) {
        const int rank = ascending ? rankOfRow[size_t(r)] : ranks - 1 - rankOfRow[size_t(r)];
        rows[size_t(start[size_t(rank)]++)] = r;
    }
    return rows;
}

// A sort column's texts as its file stores them: Windows-1252, a byte per
// character, read from a loaded table without decoding. None when a cell holds
// a character the code page lacks (a table not loaded from a file may).
std::optional<std::vector<QByteArray>> columnBytes(const TaskTable &table, int column)
{
    const int n = table.rowCount() - 1;
    std::vector<QByteArray> texts;
    texts.reserve(size_t(n));
    for (int r = 1; r <= n; ++r) {
        std::optional<QByteArray> bytes = table.cellBytes(column, r);
        if (!bytes)
            return std::nullopt;
        texts.push_back(std::move(*bytes));
    }
    return texts;
}

// Texts of one shape - the same length, a digit wherever the first has one and
// its other characters everywhere else (dates, hours, priorities) - collate in
// every locale as their digits read as a number, the empty text first. Such a
// column sorts by that number, without a collation key per text. Empty when a
// text has another shape.
std::vector<int> orderByDigits(const TaskTable &table, int column, bool ascending,
                               const std::vector<qint64> &tie)
{
    const int n = table.rowCount() - 1;
    QByteArray shape;
    std::vector<Keyed<quint64>> keyed;
    keyed.reserve(size_t(n));
    constexpr int MostDigits = 18; // 10^18 stays clear of the top of 64 bits
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (int r = 1; r <= n; ++r) {
        const std::optional<QByteArray> text = table.cellBytes(column, r);
        if (!text)
            return {};
        if (text->isEmpty()) {
            keyed.push_back({0, tie[size_t(r)], r});
            continue;
        }
        if (shape.isNull()) {
            shape = QByteArray(text->constData(), text->size());
            const auto digits = std::count_if(shape.begin(), shape.end(), isDigit);
            if (digits == 0 || digits > MostDigits)
                return {};
        }
        if (text->size() != shape.size())
            return {};
        quint64 value = 0;
        for (qsizetype i = 0; i < text->size(); ++i) {
            const char c = text->at(i);
            if (isDigit(shape[i])) {
                if (!isDigit(c))
                    return {};
                value = value * 10 + quint64(c - '0');
            } else if (c != shape[i]) {
                return {};
            }
        }
        keyed.push_back({value + 1, tie[size_t(r)], r});
    }
    return orderKeyed(std::move(keyed), ascending);
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
// its characters, one byte each: no collation key object per text. Empty when a
// text holds another character.
std::vector<int> orderByAsciiRanks(const TaskTable &table, int column, bool ascending,
                                   const std::vector<qint64> &tie)
{
    const std::array<quint8, 128> *ranks = asciiRanks();
    if (!ranks)
        return {};
    const int n = table.rowCount() - 1;
    // Reserved, not touched: room for long texts without moving the arena.
    std::string arena;
    arena.reserve(size_t(n) * 64);
    // A key is a piece of the arena; where, not a pointer, as the arena may move.
    struct Key
    {
        quint32 from;
        quint32 length;
        int row;
        qint64 tie;
    };
    std::vector<Key> keys;
    keys.reserve(size_t(n));
    for (int r = 1; r <= n; ++r) {
        const std::optional<QByteArray> text = table.cellBytes(column, r);
        if (!text)
            return {};
        const size_t from = arena.size();
        for (char c : *text) {
            if (c < 0x20 || c > 0x7E)
                return {};
            arena.push_back(char((*ranks)[size_t(c)]));
        }
        keys.push_back({quint32(from), quint32(arena.size() - from), r, tie[size_t(r)]});
    }
    const auto view = [&arena](const Key &k) {
        return std::string_view(arena.data() + k.from, k.length);
    };
    std::sort(keys.begin(), keys.end(), [&](const Key &a, const Key &b) {
        const int c = view(a).compare(view(b));
        if (c != 0)
            return ascending ? c < 0 : c > 0;
        return a.tie < b.tie;
    });
    std::vector<int> rows;
    rows.reserve(keys.size());
    for (const Key &k : keys)
        rows.push_back(k.row);
    return rows;
}

// Any texts: collation keys for the distinct texts only (status, priority and
// category columns hold a handful of values), then the sort over their ranks.
template <class Text>
std::vector<int> orderByCollation(const std::vector<Text> &texts, bool ascending,
                                  const std::vector<qint64> &tie,
                                  const std::function<QString(const Text &)> &toString)
{
    const int n = int(texts.size());
    QHash<Text, int> distinctIndex;
    std::vector<int> rankOfRow(size_t(n) + 1, 0); // the text's index, then its rank
    std::vector<QCollatorSortKey> keys;
    for (int r = 1; r <= n; ++r) {
        const Text &text = texts[size_t(r - 1)];
        auto it = distinctIndex.constFind(text);
        if (it == distinctIndex.constEnd()) {
            it = distinctIndex.insert(text, int(keys.size()));
            keys.push_back(sortKey(toString(text)));
        }
        rankOfRow[size_t(r)] = it.value();
    }
    std::vector<int> byKey(keys.size());
    for (size_t i = 0; i < byKey.size(); ++i)
        byKey[i] = int(i);
    std::sort(byKey.begin(), byKey.end(),
              [&](int a, int b) { return keys[size_t(a)].compare(keys[size_t(b)]) < 0; });
    // Texts that collate equal (differing only in case) share a rank.
    std::vector<int> rankOfText(keys.size());
    int rank = 0;
    for (size_t i = 0; i < byKey.size(); ++i) {
        if (i > 0 && keys[size_t(byKey[i - 1])].compare(keys[size_t(byKey[i])]) != 0)
            ++rank;
        rankOfText[size_t(byKey[i])] = rank;
    }
    for (int r = 1; r <= n; ++r)
        rankOfRow[size_t(r)] = rankOfText[size_t(rankOfRow[size_t(r)])];
    return orderByRank(rankOfRow, rank + 1, ascending, tie);
}

// The column's texts as bytes where the file's code page holds them all, else
// as decoded text.
std::vector<int> orderByCollation(const TaskTable &table, int column, bool ascending,
                                  const std::vector<qint64> &tie)
{
    if (const std::optional<std::vector<QByteArray>> bytes = columnBytes(table, column))
        return orderByCollation<QByteArray>(*bytes, ascending, tie, &Win1252::decode);
    const int n = table.rowCount() - 1;
    std::vector<QString> texts;
    texts.reserve(size_t(n));
    for (int r = 1; r <= n; ++r)
        texts.push_back(table.cell(column, r));
    return orderByCollation<QString>(texts, ascending, tie, [](const QString &t) { return t; });
}

} // namespace

int CompareCellText(const QString &a, const QString &b)
{
    if (plainCodePoints())
        return a.toCaseFolded().compare(b.toCaseFolded());
    return collator().compare(a, b);
}

void SortRows(TaskTable &table, int column, bool ascending)
{
    const int n = table.rowCount() - 1;
    if (n < 2)
        return;
    const std::vector<qint64> tie = fileOrder(table);
    std::vector<int> rows = orderByDigits(table, column, ascending, tie);
    if (rows.empty())
        rows = orderByAsciiRanks(table, column, ascending, tie);
    if (rows.empty())
        rows = orderByCollation(table, column, ascending, tie);
    table.permuteTasks(rows);
}
