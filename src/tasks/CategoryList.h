#pragma once

#include <QString>
#include <QStringList>

class Settings;

// The stored category names: [Category] "Cats" counts them and the keys "1" ..
// "Cats" hold them in the order they were added. Duplicates are allowed; every
// change is written key by key at once.
class CategoryList
{
public:
    explicit CategoryList(Settings &settings) : m_settings(settings) {}

    // The names of the keys "1" .. "Cats" that the file holds (a key missing below
    // the highest one present reads as empty). "Cats" is input from a file: it
    // bounds the list but is never counted up to, so a count far above the keys
    // present costs nothing.
    QStringList names() const;
    int count() const { return int(names().size()); }

    void add(const QString &name);
    // Many names at the end of the list, in one write of the settings file.
    void add(const QStringList &names);
    // Removes the first name equal to name (case matters) and moves every later
    // name down one key, in one write. False, with nothing changed, when no name
    // equals it.
    bool remove(const QString &name);
    // Puts name back at key (1 .. count + 1), moving the later names up one key,
    // in one write.
    void insert(int key, const QString &name);

    // Why a typed name cannot be stored, naming the offending character; empty
    // when it can. The field separator would split a task record, and the files
    // hold Windows-1252 text only.
    static QString refusal(const QString &name);

private:
    // The whole list, "Cats" and the keys, in one write.
    void store(const QStringList &names, int countBefore);

    Settings &m_settings;
};
