#include "TaskIdentities.h"

#include "SaveFile.h"
#include "StoreError.h"
#include "TaskRecord.h"
#include "Win1252.h"

#include <QCryptographicHash>
#include <QFile>
#include <QUuid>

#include <algorithm>

namespace {

const QByteArray Header = "NUDGERY-IDENTITIES";
const QByteArray Version = "1";

// FNV-1a: enough to tell a torn or damaged line from a whole one.
QByteArray checksum(const char *data, qsizetype size)
{
    quint32 h = 2166136261u;
    for (qsizetype i = 0; i < size; ++i) {
        h ^= uchar(data[i]);
        h *= 16777619u;
    }
    return QByteArray::number(h, 16).rightJustified(8, '0');
}

// Fields are raw bytes; the line's own separators are escaped as %XX.
QByteArray escaped(const QByteArray &field)
{
    QByteArray out;
    out.reserve(field.size());
    for (const char c : field) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r') {
            out += '%';
            out += QByteArray::number(uchar(c), 16).rightJustified(2, '0');
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<QByteArray> unescaped(const QByteArray &field)
{
    if (!field.contains('%'))
        return field;
    QByteArray out;
    out.reserve(field.size());
    for (qsizetype i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            out += field[i];
            continue;
        }
        bool ok = false;
        const int c = field.mid(i + 1, 2).toInt(&ok, 16);
        if (!ok || i + 2 >= field.size())
            return std::nullopt;
        out += char(c);
        i += 2;
    }
    return out;
}

QByteArray line(const QList<QByteArray> &fields)
{
    QByteArray out;
    for (const QByteArray &f : fields) {
        if (!out.isEmpty())
            out += '\t';
        out += escaped(f);
    }
    out += '\t' + checksum(out.constData(), out.size()) + '\n';
    return out;
}

// A whole line's fields; none when its checksum does not hold.
std::optional<QList<QByteArray>> fieldsOf(const QByteArray &text)
{
    const qsizetype tab = text.lastIndexOf('\t');
    if (tab < 0 || text.mid(tab + 1) != checksum(text.constData(), tab))
        return std::nullopt;
    QList<QByteArray> fields;
    for (const QByteArray &f : text.left(tab).split('\t')) {
        const std::optional<QByteArray> u = unescaped(f);
        if (!u)
            return std::nullopt;
        fields.append(*u);
    }
    return fields;
}

QByteArray placeCode(TaskIdentities::Place place)
{
    return place == TaskIdentities::Place::Archive ? "A" : "D";
}

TaskIdentities::Place placeOf(const QByteArray &code)
{
    return code == "A" ? TaskIdentities::Place::Archive : TaskIdentities::Place::Data;
}

QByteArray slot(TaskIdentities::Place place, const QByteArray &key)
{
    return placeCode(place) + key;
}

QList<QByteArray> entryLine(const TaskIdentities::Identity &i)
{
    return {"E",    i.uid.toUtf8(), placeCode(i.place), i.key,     i.pendingKey, i.href.toUtf8(),
            i.etag, i.base,         i.server,           i.sentKey, i.inStepKey,  i.rule};
}

} // namespace

const TaskIdentities::Identity *TaskIdentities::find(const QString &uid) const
{
    const auto it = m_identities.find(uid);
    return it == m_identities.end() ? nullptr : &it->second;
}

void TaskIdentities::index(const Identity &identity)
{
    if (!identity.key.isEmpty())
        m_byKey[slot(identity.place, identity.key)].append(identity.uid);
}

void TaskIdentities::unindex(const Identity &identity)
{
    if (identity.key.isEmpty())
        return;
    const QByteArray s = slot(identity.place, identity.key);
    auto it = m_byKey.find(s);
    if (it == m_byKey.end())
        return;
    it->removeOne(identity.uid);
    if (it->isEmpty())
        m_byKey.erase(it);
}

void TaskIdentities::apply(const QList<QByteArray> &f)
{
    const QByteArray &op = f.value(0);
    const auto text = [&f](int i) { return QString::fromUtf8(f.value(i)); };
    if (op == "E" && f.size() >= 9) {
        Identity i;
        i.uid = text(1);
        i.place = placeOf(f[2]);
        i.key = f[3];
        i.pendingKey = f[4];
        i.href = text(5);
        i.etag = f[6];
        i.base = f[7];
        i.server = f[8];
        i.sentKey = f.value(9);
        i.inStepKey = f.value(10);
        i.rule = f.value(11);
        if (const auto old = m_identities.find(i.uid); old != m_identities.end())
            unindex(old->second);
        index(i);
        m_identities[i.uid] = std::move(i);
    } else if (op == "K" && f.size() >= 4) {
        const auto it = m_identities.find(text(1));
        if (it == m_identities.end())
            return;
        unindex(it->second);
        it->second.place = placeOf(f[2]);
        it->second.key = f[3];
        it->second.pendingKey.clear();
        index(it->second);
    } else if (op == "D" && f.size() >= 2) {
        const auto it = m_identities.find(text(1));
        if (it == m_identities.end())
            return;
        unindex(it->second);
        m_identities.erase(it);
    } else if (op == "C" && f.size() >= 2) {
        m_calendar = text(1);
    } else if (op == "T" && f.size() >= 2) {
        m_token = f[1];
    } else if (op == "I" && f.size() >= 3) {
        m_ignored.insert(text(1), f[2]);
    } else if (op == "J" && f.size() >= 2) {
        m_ignored.remove(text(1));
    } else if (op == "R" && f.size() >= 2) {
        m_restored = f[1] == "1";
    }
}

void TaskIdentities::load(bool readOnly)
{
    m_identities.clear();
    m_byKey.clear();
    m_calendar.clear();
    m_token.clear();
    m_ignored.clear();
    m_restored = false;
    m_lines = 0;
    QFile f(m_path);
    if (!f.exists())
        return;
    if (!f.open(QIODevice::ReadOnly))
        throw StoreError::cannotOpen(m_path, f.errorString());
    const QByteArray bytes = f.readAll();
    f.close();
    bool whole = true;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype end = bytes.indexOf('\n', pos);
        // A line without its end was cut by a kill: it and anything after are lost.
        const std::optional<QList<QByteArray>> fields =
            end < 0 ? std::nullopt : fieldsOf(bytes.mid(pos, end - pos));
        if (!fields || (m_lines == 0 && fields->value(0) != "N")) {
            whole = false;
            break;
        }
        if (m_lines == 0 && (fields->value(1) != Header || fields->value(2) != Version))
            throw StoreError(QStringLiteral("The file \"%1\" was written by another version of "
                                            "Nudgery and cannot be read.")
                                 .arg(m_path));
        apply(*fields);
        ++m_lines;
        pos = end + 1;
    }
    const qsizetype needed = qsizetype(m_identities.size()) + m_ignored.size() + 4;
    if (!readOnly && (!whole || m_lines > 2 * needed + 64))
        compact();
}

QList<QByteArray> TaskIdentities::snapshot() const
{
    QList<QByteArray> lines{line({"N", Header, Version})};
    if (!m_calendar.isEmpty())
        lines.append(line({"C", m_calendar.toUtf8()}));
    if (!m_token.isEmpty())
        lines.append(line({"T", m_token}));
    if (m_restored)
        lines.append(line({"R", "1"}));
    for (auto it = m_ignored.cbegin(); it != m_ignored.cend(); ++it)
        lines.append(line({"I", it.key().toUtf8(), it.value()}));
    for (const auto &[uid, identity] : m_identities)
        lines.append(line(entryLine(identity)));
    return lines;
}

void TaskIdentities::compact()
{
    if (m_beforeWrite)
        m_beforeWrite();
    const QList<QByteArray> lines = snapshot();
    QString reason;
    const bool ok = SaveFile::replace(
        m_path,
        [&lines](QIODevice &out) {
            for (const QByteArray &l : lines)
                if (out.write(l) != l.size())
                    return false;
            return true;
        },
        &reason);
    if (!ok)
        throw StoreError::cannotCreate(m_path, reason);
    m_lines = lines.size();
}

void TaskIdentities::append(const QList<QByteArray> &lines)
{
    if (lines.isEmpty())
        return;
    if (m_lines == 0) {
        compact(); // a new file starts whole, with its header
        return;
    }
    if (m_beforeWrite)
        m_beforeWrite();
    QFile f(m_path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append))
        throw StoreError::cannotOpen(m_path, f.errorString());
    QByteArray bytes;
    for (const QByteArray &l : lines)
        bytes += l;
    const qint64 end = f.size();
    if (f.write(bytes) != bytes.size() || !f.flush()) {
        f.resize(end); // no half line for the next append to follow
        throw StoreError::unableToWrite(m_path);
    }
    m_lines += lines.size();
}

void TaskIdentities::put(const QList<Identity> &changed)
{
    QList<QByteArray> lines;
    for (const Identity &i : changed) {
        const QList<QByteArray> fields = entryLine(i);
        apply(fields);
        lines.append(line(fields));
    }
    append(lines);
}

void TaskIdentities::drop(const QStringList &uids)
{
    QList<QByteArray> lines;
    for (const QString &uid : uids) {
        if (!find(uid))
            continue;
        const QList<QByteArray> fields{"D", uid.toUtf8()};
        apply(fields);
        lines.append(line(fields));
    }
    append(lines);
}

void TaskIdentities::moved(const QList<Move> &moves)
{
    if (m_byKey.isEmpty())
        return;
    QList<QByteArray> lines;
    for (const Move &m : moves) {
        if (m.fromText.isEmpty() || m.toText.isEmpty())
            continue;
        const auto it = m_byKey.constFind(slot(m.from, identityKey(m.fromText)));
        if (it == m_byKey.constEnd())
            continue;
        const QList<QByteArray> fields{"K", it->first().toUtf8(), placeCode(m.to),
                                       identityKey(m.toText)};
        apply(fields);
        lines.append(line(fields));
    }
    append(lines);
}

QByteArray TaskIdentities::ruleOf(Place place, const QByteArray &recordText) const
{
    const auto it = m_byKey.constFind(slot(place, identityKey(recordText)));
    if (it == m_byKey.constEnd())
        return {};
    const Identity *i = find(it->first());
    return i ? i->rule : QByteArray();
}

void TaskIdentities::setRule(Place place, const QByteArray &recordText, const QByteArray &rule)
{
    const QByteArray key = identityKey(recordText);
    const auto it = m_byKey.constFind(slot(place, key));
    Identity changed;
    if (it != m_byKey.constEnd()) {
        changed = *find(it->first());
        if (changed.rule == rule)
            return;
    } else {
        if (rule.isEmpty())
            return;
        changed.uid = newUid();
        changed.place = place;
        changed.key = key;
    }
    changed.rule = rule;
    put({changed});
}

void TaskIdentities::setCalendar(const QString &url)
{
    if (url == m_calendar)
        return;
    QList<QByteArray> lines{line({"C", url.toUtf8()}), line({"T", {}})};
    apply({"C", url.toUtf8()});
    apply({"T", {}});
    for (const auto &[uid, i] : m_identities) {
        if (i.href.isEmpty() && i.etag.isEmpty() && i.base.isEmpty())
            continue;
        Identity forgot = i;
        forgot.href.clear();
        forgot.etag.clear();
        forgot.base.clear();
        lines.append(line(entryLine(forgot)));
    }
    for (auto it = m_ignored.cbegin(); it != m_ignored.cend(); ++it)
        lines.append(line({"J", it.key().toUtf8()}));
    m_ignored.clear();
    for (auto &[uid, i] : m_identities) {
        i.href.clear();
        i.etag.clear();
        i.base.clear();
    }
    append(lines);
}

void TaskIdentities::setSyncToken(const QByteArray &token)
{
    if (token == m_token)
        return;
    const QList<QByteArray> fields{"T", token};
    apply(fields);
    append({line(fields)});
}

void TaskIdentities::setIgnored(const QHash<QString, QByteArray> &added, const QStringList &gone)
{
    QList<QByteArray> lines;
    for (const QString &href : gone) {
        if (!m_ignored.contains(href))
            continue;
        const QList<QByteArray> fields{"J", href.toUtf8()};
        apply(fields);
        lines.append(line(fields));
    }
    for (auto it = added.cbegin(); it != added.cend(); ++it) {
        const QList<QByteArray> fields{"I", it.key().toUtf8(), it.value()};
        apply(fields);
        lines.append(line(fields));
    }
    append(lines);
}

void TaskIdentities::setRestored(bool restored)
{
    if (restored == m_restored)
        return;
    const QList<QByteArray> fields{"R", restored ? "1" : "0"};
    apply(fields);
    append({line(fields)});
}

QByteArray TaskIdentities::markedRestored(const QByteArray &file)
{
    // What a load would read: the lines up to the first one that is not whole.
    qsizetype pos = 0;
    while (pos < file.size()) {
        const qsizetype end = file.indexOf('\n', pos);
        const std::optional<QList<QByteArray>> fields =
            end < 0 ? std::nullopt : fieldsOf(file.mid(pos, end - pos));
        if (!fields || (pos == 0 && fields->value(0) != "N"))
            break;
        pos = end + 1;
    }
    if (pos == 0)
        return {};
    return file.left(pos) + line({"R", "1"});
}

QByteArray TaskIdentities::identityKey(const QByteArray &recordText)
{
    QByteArray key;
    key.reserve(recordText.size());
    const auto addField = [&](int c, const QByteArray &bytes) {
        if (c == Col::Order)
            return;
        if (!key.isEmpty() || c > 0)
            key += FieldSeparator;
        key += c == Col::Hour && bytes.trimmed().isEmpty() ? QByteArray("00:00") : bytes;
    };
    // One pass over the record: this runs for every task at every sync.
    if (const auto fields = TaskRecord::allFieldBytes(recordText)) {
        for (int c = 0; c < Col::Count; ++c)
            addField(c, (*fields)[size_t(c)]);
    } else {
        // More than ten fields: as the older release's rules split them.
        const TaskRow row = TaskRecord::split(recordText);
        for (int c = 0; c < Col::Count; ++c)
            addField(c, Win1252::encode(row[size_t(c)]));
    }
    return key;
}

QString TaskIdentities::contentHash(const TaskRow &row)
{
    QByteArray content;
    for (int c = 0; c < Col::Count; ++c)
        content += (c == Col::Order ? QByteArray() : row[size_t(c)].toUtf8()) + '\x1f';
    return QString::fromLatin1(QCryptographicHash::hash(content, QCryptographicHash::Sha1).toHex());
}

QString TaskIdentities::newUid()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces) + QStringLiteral("@nudgery");
}

TaskIdentities::Claims::Claims(const TaskIdentities &identities, Place place)
{
    for (const auto &[uid, i] : identities.identities())
        if (i.place == place && !i.key.isEmpty())
            m_byKey[i.key].append(uid); // in UID order: the map is sorted
}

QString TaskIdentities::Claims::take(const QByteArray &recordText)
{
    if (m_byKey.isEmpty())
        return {};
    const auto it = m_byKey.find(identityKey(recordText));
    if (it == m_byKey.end() || it->isEmpty())
        return {};
    return it->takeFirst();
}
