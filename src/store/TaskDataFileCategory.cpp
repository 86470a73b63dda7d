// A category delete and its undo: the name's field blanked in every record that
// has it, and written back, a window of the file at a time.
#include "TaskDataFile.h"
#include "TaskDataFileWrites.h"

#include "FindBytes.h"
#include "StoreError.h"
#include "TaskRecord.h"
#include "Win1252.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string_view>
#include <vector>

using namespace TaskDataFileWrites;

namespace {

// What a category delete keeps of each record it changed, to know it again on
// undo: the standard library's hash reads eight bytes a step, several times as
// fast as Qt's keyed one, and nothing here needs a key.
size_t textHash(const char *text, qint32 length)
{
    return std::hash<std::string_view>()(std::string_view(text, size_t(length)));
}

// A window of about a megabyte: large enough that a system call per window costs
// nothing, small enough to stay in the processor's cache between its read, its
// change and its write.
constexpr qint64 Window = 1 << 20;

// Reads the records of f from its start a window of whole records at a time
// (a large file is never held whole), handing each window and its offset in the
// file to visit, which may change the window's bytes. Stops at the first bytes
// that are no whole record (damage, which a load deals with); false when a read
// fails or visit returns false.
bool forEachRecordWindow(QFile &f, const std::function<bool(QByteArray &, qint64)> &visit)
{
    const qint64 size = f.size();
    QByteArray window;
    for (qint64 start = 0; start < size;) {
        qint64 want = std::min(Window, size - start);
        window.resize(want);
        if (!f.seek(start) || f.read(window.data(), want) != want)
            return false;
        qint64 whole = 0;
        while (want - whole >= 4) {
            const qint32 length = TaskRecord::readLength(window.constData() + whole);
            if (length < 0 || length > want - whole - 4)
                break;
            whole += 4 + qint64(length);
        }
        if (whole == 0) {
            // One record longer than a window, or damage.
            const qint32 length = want >= 4 ? TaskRecord::readLength(window.constData()) : -1;
            if (length < 0 || start + 4 + length > size || 4 + length <= want)
                return true;
            want = whole = 4 + qint64(length);
            window.resize(want);
            if (!f.seek(start) || f.read(window.data(), want) != want)
                return false;
        }
        window.resize(whole);
        if (!visit(window, start))
            return false;
        start += whole;
    }
    return true;
}

} // namespace

QList<TaskDataFile::ClearedField> TaskDataFile::ClearCategory(const QString &name) const
{
    beforeWrite();
    QFile f(m_path);
    openExisting(f, InPlace);
    QList<ClearedField> cleared;
    // The code page maps characters one to one: a name it cannot hold is in no record.
    if (Win1252::firstUnencodable(name) >= 0)
        return cleared;
    const QByteArray nameBytes = Win1252::encode(name);
    if (nameBytes.isEmpty())
        return cleared;    // an empty category is no category
    qsizetype written = 0; // the records cleared in windows already written
    const qint64 fileSize = f.size();
    const bool ok = forEachRecordWindow(f, [&](QByteArray &window, qint64 windowStart) {
        char *const bytes = window.data();
        const char *const end = bytes + window.size();
        qint64 first = -1;
        qint64 last = -1;
        qint64 pos = 0; // the record that holds the bytes found
        // Only a record that holds the name's bytes somewhere can have it as its
        // category: the others are stepped over by their lengths alone.
        for (const char *found = bytes;
             (found = findBytes(found, end, nameBytes.constData(), size_t(nameBytes.size())));) {
            const qint64 at = found - bytes;
            qint32 length = TaskRecord::readLength(bytes + pos);
            while (pos + 4 + length <= at) {
                pos += 4 + qint64(length);
                length = TaskRecord::readLength(bytes + pos);
            }
            // Bytes found in the length: the text is looked at from its start.
            const QByteArray text = QByteArray::fromRawData(bytes + pos + 4, length);
            const std::optional<TaskRecord::Span> s =
                TaskRecord::categoryNamed(text, nameBytes, at - (pos + 4));
            if (s && !TaskRecord::isBlank(text)) {
                const qint64 from = pos + 4 + s->from;
                std::memset(bytes + from, ' ', size_t(s->to - s->from));
                cleared.append({windowStart + pos, qint32(s->from), length,
                                textHash(text.constData(), length)});
                first = first < 0 ? from : first;
                last = from + (s->to - s->from);
            }
            pos += 4 + qint64(length);
            found = bytes + pos;
        }
        // Room for as many more as the first window promises: a list grown step
        // by step is copied at each step, a fifth of a large file's records.
        if (windowStart == 0 && window.size() < fileSize)
            cleared.reserve(qsizetype(double(cleared.size()) * 1.25 * double(fileSize) /
                                      double(window.size())) +
                            16);
        // One write from the window's first changed byte to its last.
        if (first >= 0) {
            beforeChange(windowStart + first, last - first);
            if (!writeAt(f, windowStart + first, window.constData() + first, last - first))
                return false;
        }
        written = cleared.size();
        return true;
    });
    if (!ok) {
        // The windows written before the failed one get their names back, as far as
        // the file lets itself be written.
        for (qsizetype i = 0; i < written; ++i) {
            const ClearedField &c = cleared[i];
            writeAt(f, c.offset + 4 + c.from, nameBytes.constData(), nameBytes.size());
        }
        throw StoreError::unableToWrite(m_path);
    }
    return cleared;
}

bool TaskDataFile::restoreCategory(const QString &name, const QList<ClearedField> &fields) const
{
    if (fields.isEmpty())
        return true;
    if (Win1252::firstUnencodable(name) >= 0)
        return false;
    const QByteArray nameBytes = Win1252::encode(name);
    QFile f(m_path);
    if (!f.exists() || !f.open(InPlace))
        return false;
    // In file order, a window of neighbouring records read at a time. The clear
    // left them in that order; fields in another order are sorted, by index.
    const size_t count = size_t(fields.size());
    std::vector<qsizetype> sorted;
    if (!std::is_sorted(
            fields.begin(), fields.end(),
            [](const ClearedField &a, const ClearedField &b) { return a.offset < b.offset; })) {
        sorted.resize(count);
        for (size_t i = 0; i < count; ++i)
            sorted[i] = qsizetype(i);
        std::sort(sorted.begin(), sorted.end(), [&fields](qsizetype a, qsizetype b) {
            return fields[a].offset < fields[b].offset;
        });
    }
    const auto field = [&](size_t k) -> const ClearedField & {
        return fields[sorted.empty() ? qsizetype(k) : sorted[k]];
    };
    const qint64 size = f.size();
    QByteArray buffer; // read into again and again: its pages are touched once
    // Reads each window and hands it to visit with the fields in it: false when a
    // field is not where a whole record of its length can be.
    const auto windows =
        [&](const std::function<bool(QByteArray &, qint64, size_t, size_t)> &visit) {
            qint64 previousEnd = 0; // two fields in one record: one of them is not there
            for (size_t i = 0; i < count;) {
                const qint64 start = field(i).offset;
                if (start < previousEnd)
                    return false;
                qint64 end = start;
                size_t j = i;
                for (; j < count; ++j) {
                    const ClearedField &c = field(j);
                    const qint64 recordEnd = c.offset + 4 + c.textLength;
                    if (c.offset < end || (j > i && recordEnd - start > Window))
                        break;
                    end = recordEnd;
                }
                if (j == i || end > size)
                    return false;
                previousEnd = end;
                buffer.resize(end - start);
                if (!f.seek(start) || f.read(buffer.data(), buffer.size()) != buffer.size() ||
                    !visit(buffer, start, i, j))
                    return false;
                i = j;
            }
            return true;
        };
    // Each window is checked, then written: a record that no longer reads as the
    // clear left it (the file changed under the program) stops the undo, and the
    // windows already written get their blanks back, so the file is as before.
    const QByteArray blanks(nameBytes.size(), ' ');
    size_t done = 0; // the fields named again, in file order
    bool writeFailed = false;
    const bool ok = windows([&](QByteArray &window, qint64 start, size_t i, size_t j) {
        qint64 first = -1;
        qint64 last = -1;
        for (size_t k = i; k < j; ++k) {
            const ClearedField &c = field(k);
            const char *record = window.constData() + (c.offset - start);
            const char *text = record + 4;
            if (TaskRecord::readLength(record) != c.textLength || c.from < 0 ||
                c.from + nameBytes.size() > c.textLength ||
                std::memcmp(text + c.from, blanks.constData(), size_t(blanks.size())) != 0 ||
                textHash(text, c.textLength) != c.hash)
                return false;
        }
        for (size_t k = i; k < j; ++k) {
            const ClearedField &c = field(k);
            const qint64 at = c.offset - start + 4 + c.from;
            std::memcpy(window.data() + at, nameBytes.constData(), size_t(nameBytes.size()));
            first = first < 0 ? at : first;
            last = at + nameBytes.size();
        }
        if (i == 0)
            beforeWrite();
        beforeChange(start + first, last - first);
        writeFailed = !writeAt(f, start + first, window.constData() + first, last - first);
        done = writeFailed ? done : j;
        return !writeFailed;
    });
    if (!ok) {
        for (size_t k = 0; k < done; ++k) {
            const ClearedField &c = field(k);
            writeAt(f, c.offset + 4 + c.from, blanks.constData(), blanks.size());
        }
        if (writeFailed)
            throw StoreError::unableToWrite(m_path);
        return false;
    }
    return true;
}
