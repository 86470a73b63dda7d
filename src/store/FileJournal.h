#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Replaces several files of one folder as one step: a kill or a crash at any
// moment leaves either every file as it was or every file replaced, once the
// next start has run recover() for the same step name.
//
// Each new content is first written beside its file ("<file>.<step>.pending")
// and flushed to the disk. Then the journal ("<folder>/.<step>.journal", the
// file names and an end line) is written whole and renamed into place: that
// rename is the moment the step happens. The pending files are then renamed
// over their files and the journal removed. recover() finishes a step whose
// journal is there and removes the pending files of one whose journal is not.
//
// One object is one step; a step name is one kind of step ("restore"), so
// that kinds never finish each other's steps. (A large append to one file
// goes through AppendJournal instead: it is taken back rather than finished,
// and the file is never copied.)
class FileJournal
{
public:
    FileJournal(const QString &folder, const QString &step);
    // A step staged but never committed leaves no pending file behind.
    ~FileJournal();
    FileJournal(const FileJournal &) = delete;
    FileJournal &operator=(const FileJournal &) = delete;

    // fileName: a plain name inside the folder. Throws StoreError when the
    // pending file cannot be written (nothing has changed then).
    void stage(const QString &fileName, const QByteArray &bytes);
    // Makes every staged file take its place, as one step. Throws StoreError when
    // the journal cannot be written (nothing has changed then), or when a file
    // could not be put in place after it was (the next start then finishes it).
    void commit();

    enum class Recovered { Nothing, Finished, RolledBack };
    // What an interrupted step of this name left in folder, finished or undone.
    static Recovered recover(const QString &folder, const QString &step);

    // A journal is input from a file like any other: only a plain name of the
    // folder, never one that leads out of it.
    static bool isPlainName(const QString &name);

    static QString journalPath(const QString &folder, const QString &step);
    static QString pendingPath(const QString &folder, const QString &fileName, const QString &step);

private:
    void discardStaged();

    QString m_folder;
    QString m_step;
    QStringList m_staged;
    bool m_committed = false;
};
