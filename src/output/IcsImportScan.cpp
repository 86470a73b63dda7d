#include "IcsImportScan.h"

#include <libical/ical.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// The part of a line looked at: property names and short values.
constexpr qsizetype HeadBytes = 256;

bool isNumber(const QByteArray &value)
{
    const QByteArray digits = value.startsWith('+') || value.startsWith('-') ? value.mid(1) : value;
    return !digits.isEmpty() &&
           std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A content line's name (upper case) and value, from its first bytes.
void split(const QByteArray &head, QByteArray &name, QByteArray &value)
{
    qsizetype end = 0;
    while (end < head.size() && head[end] != ';' && head[end] != ':')
        ++end;
    name = head.left(end).trimmed().toUpper();
    bool quoted = false;
    for (qsizetype i = end; i < head.size(); ++i) {
        if (head[i] == '"')
            quoted = !quoted;
        else if (head[i] == ':' && !quoted) {
            value = head.mid(i + 1).trimmed();
            return;
        }
    }
    value.clear();
}

struct Feed
{
    const QByteArray &text;
    qsizetype pos = 0;
    IcsImportScan::Progress *progress = nullptr;
};

// libical's line source: like fgets over the text.
char *nextPiece(char *out, size_t size, void *data)
{
    Feed &feed = *static_cast<Feed *>(data);
    const qsizetype left = feed.text.size() - feed.pos;
    if (left <= 0 || size < 2 || (feed.progress && feed.progress->cancel.load()))
        return nullptr;
    const char *from = feed.text.constData() + feed.pos;
    const qsizetype room = std::min<qsizetype>(left, qsizetype(size) - 1);
    const void *newline = std::memchr(from, '\n', size_t(room));
    const qsizetype n = newline ? static_cast<const char *>(newline) - from + 1 : room;
    std::memcpy(out, from, size_t(n));
    out[n] = '\0';
    feed.pos += n;
    if (feed.progress)
        feed.progress->permille.store(int(feed.pos * 800 / feed.text.size()));
    return out;
}

} // namespace

namespace IcsImportScan {

Scan scan(const QByteArray &text)
{
    Scan result;
    if (text.size() > MaxFileBytes) {
        result.refusal = "ImportTooLarge";
        result.detail = QString::number(MaxFileBytes / (1024 * 1024));
        return result;
    }
    if (text.contains('\0')) {
        result.refusal = "ImportBinary";
        return result;
    }
    std::vector<QByteArray> open; // the components the line is in, outermost first
    int todos = 0;
    int line = 0;
    qsizetype pos = 0;
    while (pos < text.size()) {
        const int first = ++line;
        qint64 length = 0;
        QByteArray head;
        for (bool folded = false;; folded = true) {
            const qsizetype newline = text.indexOf('\n', pos);
            const qsizetype end = newline < 0 ? text.size() : newline;
            qsizetype from = pos + (folded ? 1 : 0);
            const qsizetype to = end > from && text[end - 1] == '\r' ? end - 1 : end;
            from = std::min(from, to);
            length += to - from;
            if (head.size() < HeadBytes)
                head += text.mid(from, std::min(to - from, HeadBytes - head.size()));
            pos = newline < 0 ? text.size() : newline + 1;
            if (pos >= text.size() || (text[pos] != ' ' && text[pos] != '\t'))
                break;
            ++line;
        }
        if (length > MaxLineBytes) {
            result.refusal = "ImportLineTooLong";
            result.detail = QString::number(first);
            return result;
        }
        QByteArray name;
        QByteArray value;
        split(head, name, value);
        const bool inCalendar = !open.empty() && open.front() == "VCALENDAR";
        if (name == "BEGIN") {
            open.push_back(value.toUpper());
            if (int(open.size()) > MaxDepth) {
                result.refusal = "ImportTooDeep";
                result.detail = QString::number(MaxDepth);
                return result;
            }
            if (inCalendar && open.size() == 2 && open.back() == "VTODO")
                ++todos;
        } else if (name == "END") {
            if (!open.empty())
                open.pop_back();
        } else if (name == "PRIORITY" && inCalendar && open.size() == 2 && open.back() == "VTODO" &&
                   !value.isEmpty() && !isNumber(value)) {
            result.priorities.insert(todos - 1, value);
        }
    }
    result.todos = todos;
    return result;
}

icalcomponent *parse(const QByteArray &text, Progress *progress)
{
    icalparser *parser = icalparser_new();
    if (!parser)
        return nullptr;
    Feed feed{text, 0, progress};
    icalparser_set_gen_data(parser, &feed);
    icalcomponent *root = icalparser_parse(parser, nextPiece);
    icalparser_free(parser);
    if (root && progress && progress->cancel.load()) {
        freeTree(root);
        return nullptr;
    }
    return root;
}

QString firstError(icalcomponent *root)
{
    // The path from the root to the component looked at; each component's own
    // iterator walks its children.
    std::vector<icalcomponent *> path;
    icalcomponent *c = root;
    for (;;) {
        if (c) {
            if (icalproperty *p = icalcomponent_get_first_property(c, ICAL_XLICERROR_PROPERTY))
                return QString::fromUtf8(icalproperty_get_xlicerror(p));
            path.push_back(c);
            if (int(path.size()) > MaxDepth)
                return QStringLiteral("Components are nested more than %1 deep.").arg(MaxDepth);
            c = icalcomponent_get_first_component(c, ICAL_ANY_COMPONENT);
            continue;
        }
        path.pop_back();
        if (path.empty())
            return {};
        c = icalcomponent_get_next_component(path.back(), ICAL_ANY_COMPONENT);
    }
}

void freeTree(icalcomponent *root)
{
    std::vector<icalcomponent *> path{root};
    while (!path.empty()) {
        icalcomponent *top = path.back();
        if (icalcomponent *child = icalcomponent_get_first_component(top, ICAL_ANY_COMPONENT)) {
            path.push_back(child);
            continue;
        }
        path.pop_back();
        if (!path.empty())
            icalcomponent_remove_component(path.back(), top);
        icalcomponent_free(top);
    }
}

} // namespace IcsImportScan
