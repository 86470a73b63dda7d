#include "SortRows.h"

#include "store/LargePages.h"
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

// A sort's result: the rows in their new order, and where each run of rows with
// equal keys begins (the runs a second click on the column turns round).
struct Order
{
    std::vector<int> rows;
    std::vector<bool> starts;
    bool empty() const { return rows.empty(); }
};

// A row with a 64-bit key.
#pragma pack(push, 4)
struct Item
{
    quint64 key;
    quint32 row;
};
#pragma pack(pop)
static_assert(sizeof(Item) == 12, "a radix pass moves twelve bytes an item");

// Orders items by key, keeping the order they came in where keys tie: a radix
// sort a byte at a time, least significant first, skipping the bytes that every
// key shares (a date column differs in two or three of its eight).
void radixSort(std::vector<Item> &items)
{
    const size_t n = items.size();
    if (n < 2)
        return;
    std::array<std::array<quint32, 256>, 8> counts{};
    for (const Item &it : items)
        for (size_t b = 0; b < 8; ++b)
            ++counts[b][(it.key >> (8 * b)) & 0xFF];
    std::vector<Item> other;
    for (size_t b = 0; b < 8; ++b) {
        std::array<quint32, 256> &at = counts[b];
        if (at[(items.front().key >> (8 * b)) & 0xFF] == n)
            continue;
        quint32 sum = 0;
        for (quint32 &c : at) {
            const quint32 count = c;
            c = sum;
            sum += count;
        }
        if (other.empty()) {
            reserveLarge(other, n);
            other.resize(n);
        }
        for (const Item &it : items)
            other[at[(it.key >> (8 * b)) & 0xFF]++] = it;
        items.swap(other);
    }
}

// The task rows in the order of their records in the file: the order rows with
// equal keys keep, so that a sort has one result only, the one a fresh load and
// sort gives (a new record, the file's last, goes after the rows it ties with).
// A table whose rows name no record (built by hand) keeps its rows' order.
std::vector<int> rowsInFileOrder(const TaskTable &table)
{
    const int n = table.rowCount() - 1;
    std::vector<int> rows;
    reserveLarge(rows, size_t(n));
    bool inOrder = true;
    try {
        // A table fresh from its file is in file order already.
        for (int r = 2; r <= n && inOrder; ++r)
            inOrder = table.recordOffset(r - 1) < table.recordOffset(r);
        if (!inOrder) {
            std::vector<Item> items;
            reserveLarge(items, size_t(n));
            for (int r = 1; r <= n; ++r)
                items.push_back({quint64(table.recordOffset(r)), quint32(r)});
            radixSort(items);
            for (const Item &it : items)
                rows.push_back(int(it.row));
            return rows;
        }
    } catch (const StoreError &) {
    }
    for (int r = 1; r <= n; ++r)
        rows.push_back(r);
    return rows;
}

// Items in file order sorted by key, either way: ties stay in file order.
Order orderItems(std::vector<Item> &&items, bool ascending)
{
    if (!ascending)
        for (Item &it : items)
            it.key = ~it.key;
    radixSort(items);
    Order out;
    reserveLarge(out.rows, items.size());
    out.starts.resize(items.size());
    for (size_t k = 0; k < items.size(); ++k) {
        out.rows.push_back(int(items[k].row));
        out.starts[k] = k == 0 || items[k].key != items[k - 1].key;
    }
    return out;
}

// Row order by a rank from 0 to ranks - 1 (a column of few distinct texts), either
// way, ties in file order: the rows in file order, counted into their ranks' places.
Order orderByRank(const std::vector<int> &rankOfRow, int ranks, bool ascending,
                  const std::vector<int> &inFile)
{
    const int n = int(rankOfRow.size()) - 1;
    std::vector<int> start(size_t(ranks) + 1, 0);
    for (int r = 1; r <= n; ++r)
        ++start[size_t(ascending ? rankOfRow[size_t(r)] : ranks - 1 - rankOfRow[size_t(r)]) + 1];
    for (size_t k = 1; k < start.size(); ++k)
        start[k] += start[k - 1];
    Order out;
    reserveLarge(out.rows, size_t(n));
    out.rows.resize(static_cast<size_t>(n));
    out.starts.resize(static_cast<size_t>(n));
    for (size_t k = 0; k + 1 < start.size(); ++k)
        if (start[k] < n)
            out.starts[size_t(start[k])] = true;
    for (int r : inFile) {
        const int rank = ascending ? rankOfRow[size_t(r)] : ranks - 1 - rankOfRow[size_t(r)];
        out.rows[size_t(start[size_t(rank)]++)] = r;
    }
    return out;
}

// Texts of one shape - the same length, a digit wherever the first has one and
// its other characters everywhere else (dates, hours, priorities) - collate in
// every locale as their digits read as a number, the empty text first. Such a
// column sorts by that number, without a collation key per text. Empty when a
// text has another shape.
Order orderByDigits(const TaskTable &table, int column, bool ascending,
                    const std::vector<int> &inFile)
{
    QByteArray shape;
    std::vector<Item> items;
    reserveLarge(items, inFile.size());
    constexpr int MostDigits = 18; // 10^18 stays clear of the top of 64 bits
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    for (int r : inFile) {
        const std::optional<QByteArray> text = table.cellBytes(column, r);
        if (!text)
            return {};
        if (text->isEmpty()) {
            items.push_back({0, quint32(r)});
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
        items.push_back({value + 1, quint32(r)});
    }
    return orderItems(std::move(items), ascending);
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
Order orderByAsciiRanks(const TaskTable &table, int column, bool ascending,
                        const std::vector<int> &inFile)
{
    const std::array<quint8, 128> *ranks = asciiRanks();
    if (!ranks)
        return {};
    const size_t n = inFile.size();
    // A byte past ASCII (read while guessing the shared beginning, before each
    // text is checked) ranks 0 rather than reading past the table.
    const auto rank = [ranks](char c) {
        const auto byte = quint8(c);
        return byte < 128 ? (*ranks)[byte] : quint8(0);
    };
    // Texts are read from the table where they are needed, not copied: a column
    // of a million texts would take a quarter of the file's size again.
    const auto textOf = [&](size_t k) { return table.cellBytes(column, inFile[k]); };
    // The characters every text begins with tell nothing apart: the next eight,
    // packed into a number, order most texts at once (ranks are never 0, so a
    // text that ends sorts before any longer one), the rest only where they tie.
    // How many they share is guessed from the first texts and checked on all.
    const std::optional<QByteArray> first = n == 0 ? std::nullopt : textOf(0);
    if (n > 0 && !first)
        return {};
    const QByteArray firstText =
        first ? QByteArray(first->constData(), first->size()) : QByteArray();
    qsizetype shared = firstText.size();
    const auto sharedWith = [&](const QByteArray &text, qsizetype most) {
        qsizetype same = 0;
        while (same < most && same < text.size() && rank(text[same]) == rank(firstText[same]))
            ++same;
        return same;
    };
    for (size_t k = 1; k < std::min<size_t>(n, 64); ++k) {
        const std::optional<QByteArray> text = textOf(k);
        shared = text ? sharedWith(*text, shared) : 0;
    }
    std::vector<Item> items;
    reserveLarge(items, n);
    bool longer = false; // a text goes on past its head
    for (size_t k = 0; k < n; ++k) {
        const std::optional<QByteArray> text = textOf(k);
        if (!text)
            return {};
        const QByteArray &bytes = *text; // read only: a loaded row's text is not copied
        for (char c : bytes)
            if (c < 0x20 || c > 0x7E)
                return {};
        if (sharedWith(bytes, shared) < shared) {
            // The guess was too long: begin again with what this text shares.
            shared = sharedWith(bytes, shared);
            items.clear();
            longer = false;
            k = size_t(-1);
            continue;
        }
        quint64 head = 0;
        for (qsizetype i = shared; i < shared + 8; ++i)
            head = (head << 8) | (i < bytes.size() ? rank(bytes[i]) : 0);
        longer = longer || bytes.size() > shared + 8;
        items.push_back({ascending ? head : ~head, quint32(k)});
    }
    radixSort(items);
    // Texts with equal heads compared on from there, read again (few are).
    const auto tail = [&](const Item &a, const Item &b) {
        const QByteArray x = *textOf(a.row);
        const QByteArray y = *textOf(b.row);
        const qsizetype common = std::min(x.size(), y.size());
        for (qsizetype i = shared + 8; i < common; ++i)
            if (rank(x[i]) != rank(y[i]))
                return rank(x[i]) < rank(y[i]) ? -1 : 1;
        return x.size() == y.size() ? 0 : x.size() < y.size() ? -1 : 1;
    };
    for (size_t begin = 0; longer && begin < n;) {
        size_t end = begin + 1;
        while (end < n && items[end].key == items[begin].key)
            ++end;
        if (end - begin > 1)
            std::sort(items.begin() + qsizetype(begin), items.begin() + qsizetype(end),
                      [&](const Item &a, const Item &b) {
                          const int c = tail(a, b);
                          if (c != 0)
                              return ascending ? c < 0 : c > 0;
                          return a.row < b.row;
                      });
        begin = end;
    }
    Order out;
    reserveLarge(out.rows, n);
    out.starts.resize(n);
    for (size_t k = 0; k < n; ++k) {
        out.rows.push_back(inFile[items[k].row]);
        out.starts[k] = k == 0 || items[k].key != items[k - 1].key ||
                        (longer && tail(items[k - 1], items[k]) != 0);
    }
    return out;
}

// Any texts: collation keys for the distinct texts only (status, priority and
// category columns hold a handful of values), then the rows counted into their
// ranks' places. Empty when textOf has no text for a row.
template <class Text>
Order orderByCollation(int n, bool ascending, const std::vector<int> &inFile,
                       const std::function<std::optional<Text>(int)> &textOf,
                       const std::function<QString(const Text &)> &toString)
{
    // The first few distinct texts are looked up one by one, cheaper than a hash.
    constexpr size_t Few = 8;
    std::vector<Text> distinct;
    QHash<Text, int> distinctIndex; // once there are more
    std::vector<int> rankOfRow;     // the text's index, then its rank
    reserveLarge(rankOfRow, size_t(n) + 1);
    rankOfRow.resize(size_t(n) + 1);
    std::vector<QCollatorSortKey> keys;
    for (int r = 1; r <= n; ++r) {
        const std::optional<Text> text = textOf(r);
        if (!text)
            return {};
        int index = -1;
        if (distinct.size() <= Few) {
            for (size_t i = 0; i < distinct.size() && index < 0; ++i)
                if (distinct[i] == *text)
                    index = int(i);
        } else {
            index = distinctIndex.value(*text, -1);
        }
        if (index < 0) {
            index = int(keys.size());
            distinct.push_back(Text(text->constData(), text->size())); // a copy of its own
            keys.push_back(sortKey(toString(*text)));
            if (distinct.size() > Few) {
                if (distinctIndex.isEmpty())
                    for (size_t i = 0; i < distinct.size(); ++i)
                        distinctIndex.insert(distinct[i], int(i));
                else
                    distinctIndex.insert(distinct.back(), index);
            }
        }
        rankOfRow[size_t(r)] = index;
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
    return orderByRank(rankOfRow, rank + 1, ascending, inFile);
}

// The column's texts as bytes where the file's code page holds them all, else
// as decoded text.
Order orderByCollation(const TaskTable &table, int column, bool ascending,
                       const std::vector<int> &inFile)
{
    const int n = table.rowCount() - 1;
    Order order = orderByCollation<QByteArray>(
        n, ascending, inFile, [&](int r) { return table.cellBytes(column, r); }, &Win1252::decode);
    if (!order.empty())
        return order;
    return orderByCollation<QString>(
        n, ascending, inFile, [&](int r) { return std::optional<QString>(table.cell(column, r)); },
        [](const QString &t) { return t; });
}

// The same column sorted the other way: the runs of equal keys in turn round,
// each keeping its rows in file order.
Order turnedRound(const TaskTable::SortRuns &runs, int n)
{
    Order out;
    reserveLarge(out.rows, size_t(n));
    out.starts.reserve(size_t(n));
    for (int end = n; end > 0;) {
        int begin = end - 1;
        while (!runs.starts[size_t(begin)])
            --begin;
        for (int r = begin; r < end; ++r) {
            out.rows.push_back(r + 1);
            out.starts.push_back(r == begin);
        }
        end = begin;
    }
    return out;
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
    const TaskTable::SortRuns &last = table.sortRuns();
    Order order;
    if (last.column == column && last.ascending != ascending && last.starts.size() == size_t(n)) {
        order = turnedRound(last, n);
    } else {
        const std::vector<int> inFile = rowsInFileOrder(table);
        order = orderByDigits(table, column, ascending, inFile);
        if (order.empty())
            order = orderByAsciiRanks(table, column, ascending, inFile);
        if (order.empty())
            order = orderByCollation(table, column, ascending, inFile);
    }
    table.permuteTasks(order.rows, {column, ascending, std::move(order.starts)});
}
