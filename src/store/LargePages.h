#pragma once

#include <QtGlobal>

#include <vector>

// Memory for a million tasks: a task file of a hundred megabytes, tables of a
// few bytes per task. Touched first a small page at a time, such a block costs
// the system more than reading the file; backed by large pages it does not.

// Asks for large pages behind the whole large pages of a block not yet touched;
// nothing where the system has none.
void adviseLargePages(void *memory, qint64 size);

// Blocks of eight megabytes and more (the tables of a sort or a load at a
// million tasks) taken from the system and given back to it when freed, not kept
// for later in the heap, where those of each sort would pile up. Called once,
// first thing.
void giveLargeBlocksBack();

// Room for count items, backed by large pages where the room is large.
template <class T> void reserveLarge(std::vector<T> &v, size_t count)
{
    v.reserve(count);
    adviseLargePages(v.data(), qint64(v.capacity() * sizeof(T)));
}
