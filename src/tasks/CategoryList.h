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

    int count() const;
    QStringList names() const;

    void add(const QString &name);
    // Many names at the end of the list, in one write of the settings file.
    void add(const QStringList &names);
    // Removes the first name equal to name (case matters) and moves every later
    // name down one key. False, with nothing changed, when no name equals it.
    bool remove(const QString &name);

    // Why a typed name cannot be stored, naming the offending character; empty
    // when it can. The field separator would split a task record, and the files
    // hold Windows-1252 text only.
    static QString refusal(const QString &name);

private:
    Settings &m_settings;
};
