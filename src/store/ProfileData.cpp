#include "ProfileData.h"

#include "Win1252.h"

#include <QFile>
#include <QHash>

namespace {

bool isBlank(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

// Only blanks and tabs: the Windows reader leaves other control characters alone.
QString trimBlanks(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text.at(begin)))
        ++begin;
    while (end > begin && isBlank(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString unquote(const QString &value)
{
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

bool isBlankLine(const QString &text)
{
    return trimBlanks(text).isEmpty();
}

} // namespace

ProfileData ProfileData::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parse(file.readAll());
}

ProfileData ProfileData::parse(const QByteArray &bytes)
{
    ProfileData data;
    data.m_sections.append(Section{});
    if (bytes.isEmpty())
        return data;

    QStringList rawLines = Win1252::decode(bytes).split(QLatin1Char('\n'));
    // A final line end does not start another line.
    if (rawLines.last().isEmpty())
        rawLines.removeLast();

    for (QString text : rawLines) {
        if (text.endsWith(QLatin1Char('\r')))
            text.chop(1);
        const QString trimmed = trimBlanks(text);

        if (trimmed.startsWith(QLatin1Char('['))) {
            const qsizetype close = trimmed.lastIndexOf(QLatin1Char(']'));
            if (close > 0) {
                Section section;
                section.name = trimBlanks(trimmed.mid(1, close - 1));
                section.header = text;
                data.m_sections.append(section);
                continue;
            }
        }

        Line line;
        line.text = text;
        // Key lines count only inside a section; before the first one nothing can
        // look them up, so they are kept as they stand like any other stray line.
        const bool inSection = !data.m_sections.last().header.isEmpty();
        if (inSection && !trimmed.startsWith(QLatin1Char(';'))) {
            const qsizetype eq = trimmed.indexOf(QLatin1Char('='));
            if (eq > 0) {
                const QString key = trimBlanks(trimmed.left(eq));
                if (!key.isEmpty()) {
                    line.key = key;
                    line.value = unquote(trimBlanks(trimmed.mid(eq + 1)));
                }
            }
        }
        data.m_sections.last().lines.append(line);
    }
    return data;
}

int ProfileData::findSection(const QString &name) const
{
    for (int i = 0; i < m_sections.size(); ++i) {
        const Section &s = m_sections.at(i);
        if (!s.header.isEmpty() && sameName(s.name, name))
            return i;
    }
    return -1;
}

bool ProfileData::isEmpty() const
{
    for (const Section &s : m_sections) {
        if (!s.header.isEmpty() || !s.lines.isEmpty())
            return false;
    }
    return true;
}

std::optional<QString> ProfileData::value(const QString &section, const QString &key) const
{
    const int index = findSection(section);
    if (index < 0)
        return std::nullopt;
    for (const Line &line : m_sections.at(index).lines) {
        if (!line.key.isEmpty() && sameName(line.key, key))
            return line.value;
    }
    return std::nullopt;
}

bool ProfileData::hasSection(const QString &section) const
{
    return findSection(section) >= 0;
}

QList<std::pair<QString, QString>> ProfileData::entries(const QString &section) const
{
    QList<std::pair<QString, QString>> out;
    const int index = findSection(section);
    if (index < 0)
        return out;
    for (const Line &line : m_sections.at(index).lines)
        if (!line.key.isEmpty())
            out.append({line.key, line.value});
    return out;
}

QStringList ProfileData::sectionNames() const
{
    QStringList out;
    for (const Section &s : m_sections)
        if (!s.header.isEmpty())
            out << s.name;
    return out;
}

void ProfileData::setValue(const QString &section, const QString &key, const QString &value)
{
    const int index = findSection(section);
    if (index < 0) {
        // Like Windows: a new section goes at the end, set off by a blank line.
        if (!isEmpty()) {
            Section &last = m_sections.last();
            const bool endsBlank = !last.lines.isEmpty() && isBlankLine(last.lines.last().text);
            if (!endsBlank)
                last.lines.append(Line{});
        }
        Section added;
        added.name = section;
        added.header = QLatin1Char('[') + section + QLatin1Char(']');
        added.lines.append(Line{key + QLatin1Char('=') + value, key, value});
        m_sections.append(added);
        return;
    }

    QList<Line> &lines = m_sections[index].lines;
    int insertAt = -1;
    for (int i = 0; i < lines.size(); ++i) {
        Line &line = lines[i];
        if (line.key.isEmpty())
            continue;
        if (sameName(line.key, key)) {
            // The key keeps its place and its original spelling.
            line.value = value;
            line.text = line.key + QLatin1Char('=') + value;
            return;
        }
        insertAt = i + 1;
    }
    if (insertAt < 0) {
        // No keys yet: after whatever the section holds, before its trailing blank lines.
        insertAt = lines.size();
        while (insertAt > 0 && isBlankLine(lines.at(insertAt - 1).text))
            --insertAt;
    }
    lines.insert(insertAt, Line{key + QLatin1Char('=') + value, key, value});
}

void ProfileData::setValues(const QString &section,
                            const QList<std::pair<QString, QString>> &values)
{
    if (values.isEmpty())
        return;
    if (findSection(section) < 0)
        setValue(section, values.front().first, values.front().second);
    QList<Line> &lines = m_sections[findSection(section)].lines;
    // Where each key stands (its first line), and where new keys go: after the last.
    QHash<QString, qsizetype> at;
    qsizetype insertAt = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).key.isEmpty())
            continue;
        const QString folded = lines.at(i).key.toCaseFolded();
        if (!at.contains(folded)) // the first of duplicates is the one set
            at.insert(folded, i);
        insertAt = i + 1;
    }
    if (insertAt < 0) {
        insertAt = lines.size();
        while (insertAt > 0 && isBlankLine(lines.at(insertAt - 1).text))
            --insertAt;
    }
    QList<Line> added;
    QHash<QString, qsizetype> addedAt;
    for (const auto &[key, value] : values) {
        const QString folded = key.toCaseFolded();
        Line *line = nullptr;
        if (const auto it = at.constFind(folded); it != at.constEnd())
            line = &lines[*it];
        else if (const auto a = addedAt.constFind(folded); a != addedAt.constEnd())
            line = &added[*a];
        if (line) { // keeps its place and its spelling
            line->value = value;
            line->text = line->key + QLatin1Char('=') + value;
            continue;
        }
        addedAt.insert(folded, added.size());
        added.append(Line{key + QLatin1Char('=') + value, key, value});
    }
    if (!added.isEmpty())
        lines = lines.mid(0, insertAt) + added + lines.mid(insertAt);
}

void ProfileData::removeKey(const QString &section, const QString &key)
{
    // Every copy goes, in every section of that name: a later duplicate must not
    // come back to life once the first is deleted.
    for (Section &s : m_sections) {
        if (s.header.isEmpty() || !sameName(s.name, section))
            continue;
        s.lines.removeIf(
            [&](const Line &line) { return !line.key.isEmpty() && sameName(line.key, key); });
    }
}

void ProfileData::removeSection(const QString &section)
{
    m_sections.removeIf(
        [&](const Section &s) { return !s.header.isEmpty() && sameName(s.name, section); });
}

QByteArray ProfileData::serialize() const
{
    QString text;
    const QLatin1String crlf("\r\n");
    for (const Section &s : m_sections) {
        if (!s.header.isEmpty())
            text += s.header + crlf;
        for (const Line &line : s.lines)
            text += line.text + crlf;
    }
    return Win1252::encode(text);
}
