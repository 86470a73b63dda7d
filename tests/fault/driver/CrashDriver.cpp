// Writes a program folder's files the way the program does, without end, until it
// is killed: the kill test (tests/fault) stops it with SIGKILL at random moments
// and checks what the files hold.
//
//   nudgery_crash_driver <folder> <seed>
//
// The folder holds Tasklyn.DAT, Tasklyn.ARK and Tasklyn.INI written by the test,
// with tasks made by FaultTasks. Before each step the driver prints the step on
// stdout ("edit\t42\t0\t7"), and "ok" once it is done, so the test knows which
// steps finished and which one the kill interrupted.
//
// The program's own sequences live in window classes (the editor's Ok, the tick
// button, the archive commands, the viewer's close, the exit) and in the task
// list (an import and its undo, a category delete and its undo); this driver makes
// the same calls in the same order as they do, naming each one below. A line
// "also\tini\t..." inside a step names a setting that step writes on its way.
// Every write goes through the daily backup first, as in the program, on the
// days of a clock of its own, so that there are backups to restore.

#include "fault/FaultTasks.h"
#include "store/AppendJournal.h"
#include "store/Clock.h"
#include "store/DamagedFiles.h"
#include "store/FirstWriteOfDay.h"
#include "store/Settings.h"
#include "store/StoreError.h"
#include "store/TaskDataFile.h"
#include "store/TaskRecord.h"
#include "store/TaskTable.h"
#include "tasks/DailyBackup.h"
#include "tasks/SortRows.h"
#include "tasks/TaskList.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace {

void say(const QByteArray &line)
{
    // One write per line: a pipe takes it whole, so a kill never splits a line.
    const QByteArray bytes = line + '\n';
    if (::write(STDOUT_FILENO, bytes.constData(), size_t(bytes.size())) != bytes.size())
        std::exit(4);
}

[[noreturn]] void fail(const QString &why)
{
    say("error\t" + why.toUtf8());
    std::fprintf(stderr, "nudgery_crash_driver: %s\n", qPrintable(why));
    std::exit(2);
}

QByteArray tabbed(std::initializer_list<QByteArray> parts)
{
    QByteArray out;
    for (const QByteArray &p : parts) {
        if (!out.isEmpty())
            out += '\t';
        out += p;
    }
    return out;
}

// cleared: the task's category blanked by a category delete.
TaskRow rowFor(int id, bool done, int version, bool cleared, qint64 order)
{
    const std::array<QByteArray, 10> f = FaultTasks::fields(id, done, version, cleared);
    TaskRow row;
    for (int c = 0; c < Col::Count; ++c)
        row[size_t(c)] = QString::fromLatin1(f[size_t(c)]);
    row[Col::Order] = QString::number(order);
    return row;
}

// Days that move on now and then over a fortnight, so that daily backups are
// made and none is ever dropped; the time of day is the real one, so that the
// copies made before a restore get names of their own.
class DriverClock : public Clock
{
public:
    QDateTime now() const override
    {
        return QDateTime(QDate(2027, 1, 1).addDays(day), QTime::currentTime());
    }
    int day = 0;
};

class Driver
{
public:
    Driver(const QString &folder, quint32 seed)
        : m_dat(folder + QStringLiteral("/Tasklyn.DAT"), m_damaged, &m_firstWrite),
          m_ark(folder + QStringLiteral("/Tasklyn.ARK"), m_damaged, &m_firstWrite),
          m_settings(folder + QStringLiteral("/Tasklyn.INI")), m_random(seed),
          m_backups(folder + QLatin1Char('/'),
                    {QStringLiteral("Tasklyn.DAT"), QStringLiteral("Tasklyn.ARK"),
                     QStringLiteral("Tasklyn.INI")},
                    m_clock)
    {
        static_assert(DailyBackup::DaysKept >= Days, "a daily backup would be dropped");
        m_clock.day = random(Days);
        m_backups.watch(m_firstWrite);
        // The in-place write of a category-delete undo takes well under a
        // millisecond, so random kills would almost never land inside it; a slow
        // disk is played before each of its writes instead.
        m_firstWrite.setChangeStep([this](const QString &path, qint64 offset, qint64 length) {
            m_backups.beforeChange(path, offset, length);
            if (m_slowChanges)
                QThread::msleep(20);
        });
        m_settings.file().setBeforeWrite([this] { m_firstWrite.beforeWrite(); });
        // As the program's start does: an import a kill cut short is taken back.
        AppendJournal(m_dat.path()).recover();
        load(m_dat, false);
        load(m_ark, true);
    }

    [[noreturn]] void run()
    {
        say("ready");
        for (;;) {
            try {
                step();
            } catch (const StoreError &e) {
                fail(e.message());
            }
        }
    }

private:
    // A live record of either file.
    struct Entry
    {
        int id = 0;
        bool archived = false;
        qint64 offset = 0;
        bool done = false;
        int version = 0;
        bool cleared = false;
    };
    static constexpr int Days = 10;

    int random(int below) { return std::uniform_int_distribution<int>(0, below - 1)(m_random); }

    void load(const TaskDataFile &file, bool archived)
    {
        TaskTable table;
        const TaskDataFile::LoadResult result = file.LoadTasks(table, AllItems);
        if (result.damaged)
            fail(QStringLiteral("%1 was damaged").arg(file.path()));
        for (int r = 1; r <= table.taskCount(); ++r)
            addEntry(table, r, archived, TaskRecord::orderOffset(table.cell(Col::Order, r)));
    }

    void addEntry(const TaskTable &table, int r, bool archived, qint64 offset)
    {
        const std::optional<int> id = FaultTasks::identityOf(table.cell(Col::Task, r).toLatin1());
        const std::optional<int> version =
            FaultTasks::versionOf(table.cell(Col::Note, r).toLatin1());
        if (!id || !version)
            fail(QStringLiteral("a record at %1 is not one of the test's tasks").arg(offset));
        Entry e;
        e.id = *id;
        e.archived = archived;
        e.offset = offset;
        e.done = table.cell(Col::Done, r) == DoneMark;
        e.version = *version;
        e.cleared = FaultTasks::isCleared(table.cell(Col::Category, r).toLatin1());
        m_entries.push_back(e);
        if (++m_copies[e.id] > 1)
            m_duplicated.insert(e.id);
    }

    // The entries of one file (with an identity from fromId on).
    void dropEntries(bool archived, int fromId = 0)
    {
        std::vector<Entry> kept;
        for (const Entry &e : m_entries) {
            if (e.archived == archived && e.id >= fromId)
                --m_copies[e.id];
            else
                kept.push_back(e);
        }
        m_entries.swap(kept);
        for (auto it = m_duplicated.begin(); it != m_duplicated.end();)
            it = m_copies[*it] > 1 ? std::next(it) : m_duplicated.erase(it);
    }

    // A record of one file whose task has no second copy: a duplicate left by an
    // earlier kill is only ever deleted, as a user who noticed it would. Imported
    // tasks are left to their import's undo.
    Entry *pickSingle(bool archived)
    {
        for (int tries = 0; tries < 200 && !m_entries.empty(); ++tries) {
            Entry &e = m_entries[size_t(random(int(m_entries.size())))];
            if (e.archived == archived && m_copies[e.id] == 1 && e.id < FaultTasks::FirstImported)
                return &e;
        }
        return nullptr;
    }

    static QByteArray describe(const char *what, const Entry &e)
    {
        return tabbed({what, QByteArray::number(e.id), e.done ? "1" : "0",
                       QByteArray::number(e.version), e.cleared ? "1" : "0"});
    }

    // Each kind of write gets about the same share of the running time, whatever
    // this machine's disk and build make each one cost, so random kills land in
    // each kind about equally often. Record steps get a little more: much of their
    // time goes to choosing a task, which no kill there tests.
    enum Kind {
        CompactData,
        CompactArchive,
        Setting,
        Record,
        Import,
        CategoryUndo,
        Restore,
        KindCount
    };

    void step()
    {
        if (random(40) == 0)
            m_clock.day = random(Days); // another day: the next write backs up first
        std::array<double, KindCount> weights{};
        for (int k = 0; k < KindCount; ++k)
            weights[size_t(k)] = (k == Record ? 1.5 : 1.0) / m_meanNs[size_t(k)];
        const int kind = std::discrete_distribution<int>(weights.begin(), weights.end())(m_random);
        QElapsedTimer clock;
        clock.start();
        switch (kind) {
        case CompactData:
            compact(false);
            break;
        case CompactArchive:
            compact(true);
            break;
        case Setting:
            writeSetting();
            break;
        case Import:
            importOrUndo();
            break;
        case CategoryUndo:
            deleteCategoryAndUndo();
            break;
        case Restore:
            restore();
            break;
        default:
            recordStep();
        }
        double &mean = m_meanNs[size_t(kind)];
        mean = 0.9 * mean + 0.1 * double(std::max<qint64>(clock.nsecsElapsed(), 1000));
    }

    void recordStep()
    {
        const int roll = random(100);
        if (roll < 5 && !m_duplicated.empty())
            deleteDuplicate();
        else if (roll < 45)
            edit();
        else if (roll < 70)
            tick();
        else if (roll < 85)
            archive();
        else
            unarchive();
    }

    // The editor's Ok on an existing task: the row gets the dialog's fields and
    // replaces the old record.
    void edit()
    {
        Entry *e = pickSingle(false);
        if (!e)
            return;
        say(describe("edit", *e));
        m_scratch.setRow(1, rowFor(e->id, e->done, e->version + 1, false, e->offset));
        m_dat.ReplaceTask(m_scratch, 1, e->offset);
        e->offset = TaskRecord::orderOffset(m_scratch.cell(Col::Order, 1));
        ++e->version;
        e->cleared = false; // the editor gives the new version its category
        say("ok");
    }

    // The tick button: the done mark flips and the row replaces the old record.
    void tick()
    {
        Entry *e = pickSingle(false);
        if (!e)
            return;
        say(describe("tick", *e));
        const qint64 old = e->offset;
        m_scratch.setRow(1, rowFor(e->id, e->done, e->version, e->cleared, old));
        m_scratch.setCell(Col::Done, 1, e->done ? QStringLiteral(" ") : DoneMark);
        m_dat.ReplaceTask(m_scratch, 1, old);
        e->offset = TaskRecord::orderOffset(m_scratch.cell(Col::Order, 1));
        e->done = !e->done;
        say("ok");
    }

    // The main window's Archive command: the record moves (appended to the archive,
    // then blanked here).
    void archive()
    {
        Entry *e = pickSingle(false);
        if (!e)
            return;
        say(describe("archive", *e));
        const qint64 end = QFileInfo(m_ark.path()).size();
        m_dat.moveRecordTo(e->offset, m_ark.path());
        e->archived = true;
        e->offset = end;
        say("ok");
    }

    // The archive viewer's Unarchive: the record is appended to the task data file,
    // then blanked in the archive.
    void unarchive()
    {
        Entry *e = pickSingle(true);
        if (!e)
            return;
        say(describe("unarchive", *e));
        const QByteArray record = m_ark.readRecord(e->offset);
        const qint64 end = QFileInfo(m_dat.path()).size();
        m_dat.appendRecords({record.mid(4)});
        m_ark.BlankTask(e->offset);
        e->archived = false;
        e->offset = end;
        say("ok");
    }

    // Delete (main window or archive viewer) on one copy of a duplicated task.
    void deleteDuplicate()
    {
        if (m_duplicated.empty())
            return;
        const int id = *m_duplicated.begin();
        std::vector<size_t> copies;
        for (size_t i = 0; i < m_entries.size(); ++i)
            if (m_entries[i].id == id)
                copies.push_back(i);
        const size_t victim = copies[size_t(random(int(copies.size())))];
        const Entry e = m_entries[victim];
        say(tabbed({"delete", QByteArray::number(e.id), e.archived ? "ARK" : "DAT",
                    e.done ? "1" : "0", QByteArray::number(e.version), e.cleared ? "1" : "0"}));
        (e.archived ? m_ark : m_dat).BlankTask(e.offset);
        m_entries.erase(m_entries.begin() + std::ptrdiff_t(victim));
        if (--m_copies[id] < 2)
            m_duplicated.erase(id);
        say("ok");
    }

    // The exit (task data file) or the archive viewer's close (archive): the table,
    // loaded and sorted as the window shows it, is written over the file whole.
    void compact(bool archived)
    {
        const TaskDataFile &file = archived ? m_ark : m_dat;
        TaskTable table;
        if (file.LoadTasks(table, AllItems).damaged)
            fail(QStringLiteral("%1 was damaged").arg(file.path()));
        static const int columns[] = {Col::Task, Col::SortKey, Col::Priority, Col::Category};
        SortRows(table, columns[random(4)], random(2) == 0);
        QList<QByteArray> texts;
        for (int r = 1; r <= table.taskCount(); ++r)
            texts.append(TaskRecord::join(table.row(r)));
        say(archived ? "compact\tARK" : "compact\tDAT");
        if (random(2) == 0) {
            file.SaveAllTasks(table);
        } else {
            // The call SaveAllTasks makes, with the record texts made beforehand: a
            // kill in this step then lands while the new file is being written.
            file.writeRecords(texts);
        }
        say("ok");
        // The records now lie one after the other in table order.
        dropEntries(archived);
        qint64 offset = 0;
        for (int r = 1; r <= table.taskCount(); ++r) {
            addEntry(table, r, archived, offset);
            offset += 4 + texts[r - 1].size();
        }
    }

    // An import of a batch of new tasks when none is in the file, else the undo of
    // the one there (so the files do not grow without end).
    void importOrUndo()
    {
        std::vector<qint64> batch; // the imported records' offsets
        int first = FaultTasks::FirstImported;
        int last = first - 1;
        for (const Entry &e : m_entries)
            if (e.id >= FaultTasks::FirstImported) {
                batch.push_back(e.offset);
                first = batch.size() == 1 ? e.id : std::min(first, e.id);
                last = std::max(last, e.id);
            }
        if (!batch.empty()) {
            // Edit > Undo of the import: every record blanked in one pass. (An undo
            // cut short leaves some of them: the range of identities is told.)
            say(tabbed(
                {"undoimport", QByteArray::number(first), QByteArray::number(last - first + 1)}));
            m_dat.blankRecords(QList<qint64>(batch.begin(), batch.end()));
            dropEntries(false, FaultTasks::FirstImported);
            say("ok");
            return;
        }
        // File > Import: the tasks appended in one write under the journal.
        const int count = 200 + random(1800);
        std::vector<TaskRow> rows;
        for (int k = 0; k < count; ++k)
            rows.push_back(rowFor(first + k, false, 0, false, 0));
        say(tabbed({"import", QByteArray::number(first), QByteArray::number(count)}));
        // The import's category goes into the settings while the append can still
        // be taken back, as the program writes its new categories.
        const QString category = QStringLiteral("Imported %1").arg(count);
        m_dat.appendRowsAtOnce(rows, [&] {
            say(tabbed({"also\tini", Sections::Category.toLatin1(), "6", category.toLatin1()}));
            m_settings.setCategoryName(6, category);
        });
        say("ok");
        for (int k = 0; k < count; ++k) {
            m_scratch.setRow(1, rows[size_t(k)]);
            addEntry(m_scratch, 1, false, TaskRecord::orderOffset(rows[size_t(k)][Col::Order]));
        }
    }

    // Category > Delete Category on one of the tasks' categories, then Edit > Undo,
    // through the task list as the main window makes them. (The stored list of
    // names is a settings write like the ones below; these names are not in it.)
    void deleteCategoryAndUndo()
    {
        const QByteArray name = "Errands " + QByteArray::number(1 + random(2));
        TaskList tasks(m_dat.path(), m_ark.path(), m_damaged);
        tasks.setFirstWriteOfDay(&m_firstWrite);
        tasks.load(AllItems);
        say(tabbed({"catdel", name}));
        tasks.clearCategory(QString::fromLatin1(name));
        say("ok");
        say(tabbed({"catundo", name}));
        m_slowChanges = true;
        tasks.undo();
        m_slowChanges = false;
        say("ok");
    }

    // File > Restore from backup, of a day's copy that holds tasks: the files
    // come back as one step. The task list then holds what the copy holds.
    void restore()
    {
        std::vector<DailyBackup::Backup> daily;
        for (const DailyBackup::Backup &b : m_backups.list())
            if (b.kind == DailyBackup::Kind::Daily && b.holdsTasks())
                daily.push_back(b);
        if (daily.empty())
            return;
        const DailyBackup::Backup &chosen = daily[size_t(random(int(daily.size())))];
        say(tabbed({"restore", QFileInfo(chosen.path).fileName().toLatin1()}));
        QString reason;
        if (m_backups.restore(chosen.path, &reason) != DailyBackup::Restored::Done)
            fail(QStringLiteral("the backup %1 was not restored: %2").arg(chosen.path, reason));
        say("ok");
        dropEntries(false);
        dropEntries(true);
        load(m_dat, false);
        load(m_ark, true);
    }

    // A settings change: each one rewrites the settings file.
    void writeSetting()
    {
        const auto announce = [](SettingKey key, const QByteArray &value) {
            const SettingInfo &info = settingInfo(key);
            say(tabbed({"ini", info.section, info.key, value}));
        };
        switch (random(7)) {
        case 0: {
            const int row = 1 + random(3000);
            announce(SettingKey::SelectedRow, QByteArray::number(row));
            m_settings.setInteger(SettingKey::SelectedRow, row);
            break;
        }
        case 1: {
            static const char *const captions[] = {"Task", "Date", "Priority", "Category",
                                                   "(none)"};
            const QString caption = QString::fromLatin1(captions[random(5)]);
            announce(SettingKey::Sorted, caption.toLatin1());
            m_settings.setText(SettingKey::Sorted, caption);
            break;
        }
        case 2: {
            const int order = random(2);
            announce(SettingKey::SortedOrdr, QByteArray::number(order));
            m_settings.setInteger(SettingKey::SortedOrdr, order);
            break;
        }
        case 3: {
            const QString widths =
                ColumnWidths::format({12, 150 + random(200), 61 + random(20), 31, 12});
            announce(SettingKey::ColumnWidths, widths.toLatin1());
            m_settings.setText(SettingKey::ColumnWidths, widths);
            break;
        }
        case 4: {
            const int height = 100 + random(500);
            announce(SettingKey::ArchWindowHeight, QByteArray::number(height));
            m_settings.setInteger(SettingKey::ArchWindowHeight, height);
            break;
        }
        default: {
            // A category renamed: "[Category] n=name".
            const int n = 1 + random(6);
            const QString name = QStringLiteral("Errands %1").arg(random(100));
            say(tabbed(
                {"ini", Sections::Category.toLatin1(), QByteArray::number(n), name.toLatin1()}));
            m_settings.setCategoryName(n, name);
            break;
        }
        }
        say("ok");
    }

    DamagedFiles m_damaged; // before the files that use it
    TaskDataFile m_dat;
    TaskDataFile m_ark;
    Settings m_settings;
    std::mt19937 m_random;
    std::vector<Entry> m_entries;
    std::unordered_map<int, int> m_copies;
    std::set<int> m_duplicated;
    std::array<double, KindCount> m_meanNs{1e7, 1e6, 1e6, 1e5, 5e6, 1e7, 1e7};
    // The row the editor or the tick button hands to AppendTask.
    TaskTable m_scratch;
    DriverClock m_clock;
    DailyBackup m_backups;
    FirstWriteOfDay m_firstWrite{m_clock};
    bool m_slowChanges = false;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: nudgery_crash_driver <folder> <seed>\n");
        return 1;
    }
    try {
        Driver driver(QDir(args[1]).absolutePath(), args[2].toUInt());
        driver.run();
    } catch (const StoreError &e) {
        fail(e.message());
    }
}
