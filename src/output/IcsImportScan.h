#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <atomic>

typedef struct icalcomponent_impl icalcomponent;

// The import's guards around libical: a first pass over the text that refuses
// what libical would choke on (a huge file, a line it reads in time square to its
// length, components nested beyond any real calendar), libical's parse fed line by
// line so that it can tell its progress and be stopped, and walks over the parsed
// tree that use no recursion.
namespace IcsImportScan {

constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;
constexpr qint64 MaxLineBytes = 1024 * 1024; // an unfolded line
constexpr int MaxDepth = 32;                 // real calendars nest three or four deep

struct Scan
{
    // Why the text is refused: a key of the import's language table and its
    // argument; none when it is not.
    const char *refusal = nullptr;
    QString detail;
    // PRIORITY as written, by to-do, where it is no number (libical reads a word
    // as 0). To-dos count from 0 in file order, those directly inside a calendar.
    QHash<int, QByteArray> priorities;
    int todos = 0;
};
Scan scan(const QByteArray &text);

// Where an import's parse stands, in thousandths (libical's parse up to 800, the
// to-dos after it), and a request to stop it; shared with another thread.
struct Progress
{
    std::atomic<int> permille{0};
    std::atomic<bool> cancel{false};
};

// libical's parse of the text; null when it finds no component or was stopped.
// Several calendars in one text come under one XROOT component.
icalcomponent *parse(const QByteArray &text, Progress *progress);

// The first parse error libical left in the tree (X-LIC-ERROR), or none; a tree
// deeper than MaxDepth is refused as well.
QString firstError(icalcomponent *root);

// icalcomponent_free without its recursion.
void freeTree(icalcomponent *root);

} // namespace IcsImportScan
