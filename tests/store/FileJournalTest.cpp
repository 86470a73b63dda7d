// Several files replaced as one step: what an interruption at each moment of the
// step leaves is finished or undone by the next start, never left half done.
// The leftovers of each moment are written by hand here.
#include "store/FileJournal.h"
#include "common/TestFiles.h"
#include "store/StoreError.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QStringList Names = {QStringLiteral("a.DAT"), QStringLiteral("b.ARK"),
                           QStringLiteral("c.INI")};

class FileJournalTest : public ::testing::Test
{
protected:
    FileJournalTest()
    {
        for (const QString &name : Names)
            TestFiles::writeAll(path(name), "old " + name.toLatin1());
    }
    QString path(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
    QString pending(const QString &name) const
    {
        return FileJournal::pendingPath(dir.path(), name, QStringLiteral("restore"));
    }
    QString journal() const { return FileJournal::journalPath(dir.path(), "restore"); }
    QByteArrayList contents() const
    {
        QByteArrayList out;
        for (const QString &name : Names)
            out << TestFiles::readAll(path(name));
        return out;
    }
    static QByteArrayList all(const char *prefix)
    {
        QByteArrayList out;
        for (const QString &name : Names)
            out << QByteArray(prefix) + name.toLatin1();
        return out;
    }
    QStringList entries() const
    {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    QTemporaryDir dir;
};

TEST_F(FileJournalTest, shouldReplaceEveryFileAndLeaveNothingBeside)
{
    {
        FileJournal step(dir.path(), QStringLiteral("restore"));
        for (const QString &name : Names)
            step.stage(name, "new " + name.toLatin1());
        // Staged only: nothing has changed yet.
        EXPECT_EQ(contents(), all("old "));
        step.commit();
    }
    EXPECT_EQ(contents(), all("new "));
    EXPECT_EQ(entries(), Names);
}

TEST_F(FileJournalTest, shouldLeaveTheFilesAsTheyWereWhenAStepIsNotCommitted)
{
    {
        FileJournal step(dir.path(), QStringLiteral("restore"));
        step.stage(Names[0], "new");
        // A folder where the second pending file goes: it cannot be written.
        ASSERT_TRUE(QDir().mkdir(FileJournal::pendingPath(dir.path(), Names[1], "restore")));
        EXPECT_THROW(step.stage(Names[1], "new"), StoreError);
    }
    ASSERT_TRUE(QDir().rmdir(FileJournal::pendingPath(dir.path(), Names[1], "restore")));
    EXPECT_EQ(contents(), all("old "));
    EXPECT_EQ(entries(), Names);
}

// What a kill at each moment of a step leaves, and what the next start makes of it.
TEST_F(FileJournalTest, shouldFinishOrUndoAStepCutShortAtAnyMoment)
{
    struct Moment
    {
        const char *what;
        int staged;          // pending files written (of the three)
        const char *journal; // the journal's bytes, or none
        int renamed;         // pending files already put in place
        bool replaced;       // the files after recovery: all new, or all old
    };
    const Moment moments[] = {
        {"while staging", 2, nullptr, 0, false},
        {"everything staged, no journal yet", 3, nullptr, 0, false},
        {"the journal written but not yet renamed into place", 3, "partial", 0, false},
        {"the journal in place", 3, "whole", 0, true},
        {"one file put in place", 3, "whole", 1, true},
        {"every file put in place, the journal not yet removed", 3, "whole", 3, true},
        {"a torn journal (no end line)", 3, "torn", 0, false},
        {"a journal naming a file outside the folder", 3, "hostile", 0, false},
    };
    for (const Moment &m : moments) {
        SCOPED_TRACE(m.what);
        for (const QString &name : Names)
            TestFiles::writeAll(path(name), "old " + name.toLatin1());
        for (int i = 0; i < m.staged; ++i)
            TestFiles::writeAll(pending(Names[i]), "new " + Names[i].toLatin1());
        for (int i = 0; i < m.renamed; ++i) {
            QFile::remove(path(Names[i]));
            QFile::rename(pending(Names[i]), path(Names[i]));
        }
        const QByteArray whole = "a.DAT\nb.ARK\nc.INI\nend\n";
        if (m.journal) {
            const QByteArray kind(m.journal);
            if (kind == "partial")
                TestFiles::writeAll(journal() + ".partial", whole);
            else if (kind == "whole")
                TestFiles::writeAll(journal(), whole);
            else if (kind == "torn")
                TestFiles::writeAll(journal(), "a.DAT\nb.ARK\nc.I");
            else
                TestFiles::writeAll(journal(), "a.DAT\n../outside\nend\n");
        }
        FileJournal::recover(dir.path(), QStringLiteral("restore"));
        EXPECT_EQ(contents(), all(m.replaced ? "new " : "old "));
        EXPECT_EQ(entries(), Names) << entries().join(' ').toStdString();
        // Another kind of step's leftovers are not this one's to touch.
        TestFiles::writeAll(FileJournal::pendingPath(dir.path(), Names[0], "import"), "other");
        FileJournal::recover(dir.path(), QStringLiteral("restore"));
        EXPECT_TRUE(QFile::exists(FileJournal::pendingPath(dir.path(), Names[0], "import")));
        QFile::remove(FileJournal::pendingPath(dir.path(), Names[0], "import"));
    }
}

} // namespace
