#include "TaskDataFile.h"

#include "SaveFile.h"
#include "StoreError.h"
#include "Win1252.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <cstring>

namespace {

constexpr char Separator = char(0xA6);

qint32 readLength(const char *p)
{
    const auto *u = reinterpret_cast<const unsigned char *>(p);
    return qint32(quint32(u[0]) | (quint32(u[1]) << 8) | (quint32(u[2]) << 16) | (quint32(u[3]) << 24));
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
        const char *begin = text.constData();
        const char *end = begin + text.size();
        for (const char *p = begin; p < end;) {
            const void *hit = std::memchr(p, Separator, size_t(end - p));
            if (!hit)
                break;
            const qsizetype at = static_cast<const char *>(hit) - begin;
            if (count < 10)
                first[count] = at;
            last[0] = last[1];
            last[1] = last[2];
            last[2] = last[3];
            last[3] = at;
            ++count;
            p = static_cast<const char *>(hit) + 1;
        }
    }
    // Separator k counted from the end (1 = the last one).
    qsizetype fromEnd(int k) const { return last[4 - k]; }
};

bool isColourIndex(const QByteArray &field)
{
    bool ok = false;
    const int v = field.toInt(&ok);
    return ok && v >= 0 && v <= 18 && !field.startsWith('+') && !field.startsWith(' ');
}

// "yyyy-MM-dd HH:mm", whatever the time separator was.
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

QByteArray joinParts(const QByteArray &text, const QList<qsizetype> &seps, int firstPart, int lastPart)
{
    // Parts firstPart..lastPart, the separators between them kept as '|'.
    const qsizetype from = firstPart == 0 ? 0 : seps[firstPart - 1] + 1;
    const qsizetype to = lastPart >= seps.size() ? text.size() : seps[lastPart];
    QByteArray out = text.mid(from, to - from);
    out.replace(Separator, '|');
    return out;
}

struct Span
{
    qsizetype from = 0;
    qsizetype to = 0;
};

// More than ten fields: the extra separators were typed into a text field by an
// older release. When the tail is well-formed they belong to the task text,
// otherwise to the note.
bool tailIsWellFormed(const QByteArray &text, const Separators &seps)
{
    // Part n-2 (the colour) lies between the last two separators; part n-4 (the
    // sort key) between the fourth and third from the end.
    const QByteArray colour = slice(text, seps.fromEnd(2) + 1, seps.fromEnd(1));
    const QByteArray sortKey = slice(text, seps.fromEnd(4) + 1, seps.fromEnd(3));
    return isColourIndex(colour) && isSortKey(sortKey);
}

Span categorySpan(const QByteArray &text, const Separators &seps)
{
    if (seps.count > 9 && !tailIsWellFormed(text, seps))
        return {seps.first[6] + 1, seps.first[7]};
    if (seps.count < 2)
        return {0, 0};
    const qsizetype from = seps.count >= 3 ? seps.fromEnd(3) + 1 : 0;
    return {from, seps.fromEnd(2)};
}

// Whether the task text (the second field) is empty or blanks, without decoding it.
bool taskFieldIsBlank(const QByteArray &text)
{
    const char *begin = text.constData();
    const char *end = begin + text.size();
    const void *sep = std::memchr(begin, Separator, size_t(end - begin));
    if (!sep)
        return true;
    for (const char *p = static_cast<const char *>(sep) + 1; p < end && *p != Separator; ++p)
        if (static_cast<unsigned char>(*p) > 0x20)
            return false;
    return true;
}

// Files that are written in place are opened unbuffered: a buffered write that
// fails leaves its bytes in the buffer, and the next flush (resize, close) would
// refuse to cut the file back or land them after the cut.
constexpr QIODevice::OpenMode InPlace = QIODevice::ReadWrite | QIODevice::Unbuffered;

void truncateTo(QFile &f, qint64 size)
{
    f.resize(size);
}

QString nextBackupName(const QString &path)
{
    QString candidate = path + QStringLiteral(".damaged");
    for (int n = 1; QFileInfo::exists(candidate); ++n)
        candidate = path + QStringLiteral(".damaged.%1").arg(n);
    return candidate;
}

// Damaged files that could not be backed up: the length of their sound part, and
// whether the user has been told. Such a file is not cut back (the damaged tail
// may still be worth recovering), so nothing may be written to it: an append would
// land behind the damage, where no reader finds it, and a rewrite would drop the
// tail with no copy left.
struct Uncut
{
    qint64 soundLength = 0;
    bool told = false;
};

QHash<QString, Uncut> &uncutFiles()
{
    static QHash<QString, Uncut> files;
    return files;
}

// Backups made by a write, for the next load to tell the user about.
QHash<QString, QString> &backupsToTell()
{
    static QHash<QString, QString> backups;
    return backups;
}

QString fileKey(const QString &path)
{
    return QFileInfo(path).absoluteFilePath();
}

// Copies the damaged file aside and cuts it back to its sound part; the backup's
// name, or empty when no copy could be made (the file is then left as it is).
QString backUpAndCut(const QString &path, qint64 soundLength)
{
    const QString backup = nextBackupName(path);
    if (!QFile::copy(path, backup)) {
        uncutFiles()[fileKey(path)].soundLength = soundLength;
        return {};
    }
    uncutFiles().remove(fileKey(path));
    QFile cut(path);
    if (cut.open(InPlace))
        truncateTo(cut, soundLength);
    return backup;
}

// Throws unless path may be written: a damaged file gets its backup first.
void requireBackedUp(const QString &path)
{
    if (uncutFiles().isEmpty())
        return;
    const auto it = uncutFiles().constFind(fileKey(path));
    if (it == uncutFiles().constEnd())
        return;
    const QString backup = backUpAndCut(path, it->soundLength);
    if (backup.isEmpty())
        throw StoreError(QStringLiteral("The file \"%1\" is damaged and no backup copy of it could be "
                                        "made: nothing is written to it until there is room for one.")
                             .arg(path));
    backupsToTell().insert(fileKey(path), backup);
}

QString noRecordMessage(const QString &path, qint64 offset)
{
    return QStringLiteral("There is no task record at position %1 of \"%2\".").arg(offset).arg(path);
}

} // namespace

QString TaskDataFile::damagedMessage(const LoadResult &result) const
{
    if (!result.damaged)
        return {};
    if (result.damagedBackup.isEmpty())
        return QStringLiteral("The file \"%1\" is damaged: only the tasks before the damage could be "
                              "read, and no backup copy could be made. Nothing is written to it until "
                              "there is room for one.")
            .arg(m_path);
    return QStringLiteral("The file \"%1\" was damaged. Every task before the damage was kept; the "
                          "original file was saved as \"%2\".")
        .arg(m_path, result.damagedBackup);
}

bool TaskDataFile::isBlankRecord(const QByteArray &text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) > 0x20)
            return false;
    return true;
}

namespace {
QByteArray categoryBytes(const QByteArray &text)
{
    const Span s = categorySpan(text, Separators(text));
    return slice(text, s.from, s.to);
}
} // namespace

QString TaskDataFile::RecordCategory(const QByteArray &text)
{
    const Span s = categorySpan(text, Separators(text));
    return Win1252::decode(slice(text, s.from, s.to));
}

QString TaskDataFile::recordField(const QByteArray &text, int col)
{
    const Separators seps(text);
    if (seps.count > 9)
        return splitRecord(text)[size_t(col)];
    if (col > seps.count)
        return QString();
    const qsizetype from = col == 0 ? 0 : seps.first[col - 1] + 1;
    const qsizetype to = col < seps.count ? seps.first[col] : text.size();
    return Win1252::decode(slice(text, from, to));
}

TaskRow TaskDataFile::splitRecord(const QByteArray &text)
{
    TaskRow row;
    QList<qsizetype> seps;
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == Separator)
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

QByteArray TaskDataFile::joinRecord(const TaskRow &row)
{
    QByteArray out;
    for (int c = 0; c < Col::Count; ++c) {
        if (c > 0)
            out.append(Separator);
        out.append(Win1252::encode(row[size_t(c)]));
    }
    return out;
}

qint64 TaskDataFile::orderOffset(const QString &orderText)
{
    bool ok = false;
    const qint64 v = orderText.trimmed().toLongLong(&ok);
    if (!ok || orderText.trimmed().isEmpty())
        throw StoreError::invalidInteger(orderText);
    return v;
}

TaskDataFile::LoadResult TaskDataFile::LoadTasks(TaskTable &table, const QString &filter) const
{
    LoadResult result;
    table.clearTasks();
    QFile f(m_path);
    if (!f.exists()) {
        result.fileExisted = false;
        if (!f.open(QIODevice::WriteOnly))
            throw StoreError::cannotCreate(m_path, f.errorString());
        return result;
    }
    if (!f.open(QIODevice::ReadOnly))
        throw StoreError::cannotOpen(m_path, f.errorString());
    QByteArray bytes = f.readAll();
    f.close();

    const bool all = filter == AllItems;
    // Categories compare as bytes: the code page maps characters one to one, and a
    // filter it cannot hold matches no record.
    const bool filterStorable = Win1252::firstUnencodable(filter) < 0;
    const QByteArray filterBytes = Win1252::encode(filter);
    std::vector<TaskTable::RawRow> rows;
    rows.reserve(size_t(bytes.size() / 64));
    std::vector<size_t> withoutText;
    const qint64 size = bytes.size();
    qint64 pos = 0;
    while (pos < size) {
        if (size - pos < 4) {
            result.damaged = true;
            break;
        }
        const qint32 length = readLength(bytes.constData() + pos);
        if (length < 0 || length > size - pos - 4) {
            result.damaged = true;
            break;
        }
        const QByteArray text = slice(bytes, pos + 4, pos + 4 + length);
        if (!isBlankRecord(text) && (all || (filterStorable && categoryBytes(text) == filterBytes))) {
            // A row without task text would make the whole table read as empty.
            if (taskFieldIsBlank(text))
                withoutText.push_back(rows.size());
            rows.push_back({pos, qint32(pos + 4), length});
        }
        pos += 4 + qint64(length);
    }
    const QString key = fileKey(m_path);
    if (result.damaged) {
        result.damagedBackup = backUpAndCut(m_path, pos);
        Uncut *uncut = result.damagedBackup.isEmpty() ? &uncutFiles()[key] : nullptr;
        result.tellUser = !uncut || !uncut->told;
        if (uncut)
            uncut->told = true;
    } else {
        uncutFiles().remove(key);
        result.damagedBackup = backupsToTell().take(key);
        result.damaged = result.tellUser = !result.damagedBackup.isEmpty();
    }
    table.setLoadedTasks(std::move(bytes), std::move(rows));
    for (size_t i : withoutText)
        table.setCell(Col::Task, int(i) + 1, QStringLiteral("(no task text)"));
    return result;
}

void TaskDataFile::AppendTask(TaskTable &table, int row) const
{
    requireBackedUp(m_path);
    QFile f(m_path);
    openExisting(f, InPlace);
    const qint64 end = f.size();
    const QString oldOrder = table.cell(Col::Order, row);
    table.setCell(Col::Order, row, QString::number(end));
    const QByteArray text = joinRecord(table.row(row));
    const QByteArray record = lengthPrefix(text.size()) + text;
    if (!f.seek(end) || f.write(record) != record.size() || !f.flush()) {
        truncateTo(f, end);
        table.setCell(Col::Order, row, oldOrder);
        throw StoreError::unableToWrite(m_path);
    }
}

void TaskDataFile::BlankTask(qint64 offset) const
{
    QFile f(m_path);
    openExisting(f, InPlace);
    const qint32 length = recordLengthAt(f, offset);
    const QByteArray blanks(length, ' ');
    if (!f.seek(offset + 4) || f.write(blanks) != blanks.size() || !f.flush())
        throw StoreError::unableToWrite(m_path);
}

void TaskDataFile::SaveAllTasks(const TaskTable &table) const
{
    QList<QByteArray> texts;
    if (!table.isEmpty()) {
        texts.reserve(table.rowCount() - 1);
        for (int r = 1; r < table.rowCount(); ++r)
            texts.append(joinRecord(table.row(r)));
    }
    writeRecordFile(m_path, texts);
}

void TaskDataFile::ReplaceTask(TaskTable &table, int row, qint64 oldOffset) const
{
    // The old record must be where the row says before anything is written: a
    // stale offset could otherwise name the record about to be appended.
    readRecord(oldOffset);
    AppendTask(table, row);
    try {
        BlankTask(oldOffset);
    } catch (...) {
        // Take the new version out again, so that the file matches the unchanged row
        // and a retry adds no third copy; should that fail too, both stay.
        const QString appended = table.cell(Col::Order, row);
        table.setCell(Col::Order, row, QString::number(oldOffset));
        try {
            BlankTask(orderOffset(appended));
        } catch (...) {
        }
        throw;
    }
}

QByteArray TaskDataFile::readRecord(qint64 offset) const
{
    QFile f(m_path);
    openExisting(f, QIODevice::ReadOnly);
    const qint32 length = recordLengthAt(f, offset);
    f.seek(offset);
    return f.read(4 + qint64(length));
}

void TaskDataFile::openExisting(QFile &f, QIODevice::OpenMode mode) const
{
    if (!f.exists())
        throw StoreError::cannotOpen(m_path, QStringLiteral("The file does not exist."));
    if (!f.open(mode))
        throw StoreError::cannotOpen(m_path, f.errorString());
}

qint32 TaskDataFile::recordLengthAt(QFile &f, qint64 offset) const
{
    // An offset comes from a row's order; it must still name a whole record.
    const qint64 size = f.size();
    if (offset < 0 || offset + 4 > size || !f.seek(offset))
        throw StoreError(noRecordMessage(m_path, offset));
    const QByteArray prefix = f.read(4);
    const qint32 length = prefix.size() == 4 ? readLength(prefix.constData()) : -1;
    if (length < 0 || offset + 4 + length > size)
        throw StoreError(noRecordMessage(m_path, offset));
    return length;
}

void TaskDataFile::moveRecordTo(qint64 offset, const QString &targetPath) const
{
    const QByteArray record = readRecord(offset);
    requireBackedUp(targetPath);
    QFile target(targetPath);
    if (!target.open(InPlace))
        throw StoreError::cannotOpen(targetPath, target.errorString());
    const qint64 end = target.size();
    if (!target.seek(end) || target.write(record) != record.size() || !target.flush()) {
        truncateTo(target, end);
        throw StoreError::unableToWrite(targetPath);
    }
    target.close();
    BlankTask(offset);
}

void TaskDataFile::ClearCategory(const QString &name) const
{
    QFile f(m_path);
    openExisting(f, InPlace);
    const QByteArray bytes = f.readAll();
    const qint64 size = bytes.size();
    qint64 pos = 0;
    while (size - pos >= 4) {
        const qint32 length = readLength(bytes.constData() + pos);
        if (length < 0 || length > size - pos - 4)
            break;
        const QByteArray text = slice(bytes, pos + 4, pos + 4 + length);
        if (!isBlankRecord(text)) {
            const Span s = categorySpan(text, Separators(text));
            if (s.to > s.from && Win1252::decode(slice(text, s.from, s.to)) == name) {
                const QByteArray blanks(s.to - s.from, ' ');
                if (!f.seek(pos + 4 + s.from) || f.write(blanks) != blanks.size())
                    throw StoreError::unableToWrite(m_path);
            }
        }
        pos += 4 + qint64(length);
    }
    if (!f.flush())
        throw StoreError::unableToWrite(m_path);
}

void TaskDataFile::writeRecordFile(const QString &path, const QList<QByteArray> &texts)
{
    requireBackedUp(path);
    qsizetype size = 0;
    for (const QByteArray &text : texts)
        size += 4 + text.size();
    QByteArray bytes;
    bytes.reserve(size);
    for (const QByteArray &text : texts) {
        bytes.append(lengthPrefix(text.size()));
        bytes.append(text);
    }
    QString reason;
    if (!SaveFile::replace(path, bytes, &reason))
        throw StoreError::cannotCreate(path, reason);
}

void TaskDataFile::appendRecords(const QString &path, const QList<QByteArray> &texts)
{
    requireBackedUp(path);
    QFile f(path);
    if (!f.open(InPlace))
        throw StoreError::cannotOpen(path, f.errorString());
    const qint64 end = f.size();
    QByteArray buffer;
    for (const QByteArray &text : texts)
        buffer.append(lengthPrefix(text.size())).append(text);
    if (!f.seek(end) || f.write(buffer) != buffer.size() || !f.flush()) {
        truncateTo(f, end);
        throw StoreError::unableToWrite(path);
    }
}
