// File > Import from iCalendar... as a user meets it: the file chosen in the file
// dialog, a progress dialog while a large file is read (the window keeps running),
// the summary, one undo step for the whole import, and a refusal with its warning.
#include "MainWindowFixture.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

namespace {

using ImportMenuTest = MainWindowTest;

// Answers the next file dialog with path, as a user picking the file would.
void answerFileDialog(const QString &path)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, path] {
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *dialog = qobject_cast<QFileDialog *>(w); dialog && dialog->isVisible()) {
                // Typed into the name field, as the dialog's folder view may still
                // be reading another folder.
                auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                if (!name)
                    return;
                name->setText(path);
                QMetaObject::invokeMethod(dialog, &QDialog::accept);
                poll->deleteLater();
                return;
            }
    });
    poll->start(20);
}

QByteArray calendarOf(int tasks)
{
    QByteArray out = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Test//EN\r\n";
    for (int k = 0; k < tasks; ++k)
        out += "BEGIN:VTODO\r\nUID:u" + QByteArray::number(k) + "\r\nSUMMARY:Imported task " +
               QByteArray::number(k) + "\r\nDUE:20270115T093000\r\nEND:VTODO\r\n";
    return out + "END:VCALENDAR\r\n";
}

TEST_F(ImportMenuTest, aLargeImportShowsItsProgressAndTakesOneUndoToTakeBack)
{
    // Long enough to read (about a second) for the progress to show.
    const QString path = t.file("big.ics");
    TestFiles::writeAll(path, calendarOf(80000));
    // What the window does meanwhile: its event loop runs, the progress shows.
    int ticks = 0;
    bool progressShown = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        ++ticks;
        if (auto *p = window->findChild<QProgressDialog *>(QStringLiteral("ImportProgress")))
            progressShown = progressShown || p->isVisible();
    });
    watch.start(10);
    answerFileDialog(path);
    command("Menu_ImportIcs")->trigger();
    watch.stop();

    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].text, QStringLiteral("80,000 tasks imported."));
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::None);
    EXPECT_TRUE(progressShown);
    EXPECT_GT(ticks, 20);
    EXPECT_EQ(t.tasks.table().taskCount(), 80004);
    EXPECT_TRUE(command("Menu_Undo")->text().startsWith(QStringLiteral("&Undo import")))
        << command("Menu_Undo")->text().toStdString();

    command("Menu_Undo")->trigger();
    EXPECT_EQ(t.tasks.table().taskCount(), 4);
    EXPECT_FALSE(command("Menu_Undo")->isEnabled());
}

TEST_F(ImportMenuTest, aRefusedFileIsToldWithTheWarningIconAndChangesNothing)
{
    const QString path = t.file("deep.ics");
    TestFiles::writeAll(path, "BEGIN:VCALENDAR\r\n" + QByteArray("BEGIN:X-A\r\n").repeated(100000) +
                                  QByteArray("END:X-A\r\n").repeated(100000) + "END:VCALENDAR\r\n");
    const QByteArray before = TestFiles::readAll(t.file("Tasklyn.DAT"));
    answerFileDialog(path);
    command("Menu_ImportIcs")->trigger();

    ASSERT_EQ(t.messages.shown.size(), 1);
    EXPECT_EQ(t.messages.shown[0].icon, MsgIcon::Warning);
    EXPECT_EQ(t.messages.shown[0].text,
              QStringLiteral("The file was not imported, nothing was changed: its components are "
                             "nested more than 32 deep."));
    EXPECT_EQ(TestFiles::readAll(t.file("Tasklyn.DAT")), before);
    EXPECT_FALSE(command("Menu_Undo")->isEnabled());
}

TEST_F(ImportMenuTest, aCancelledImportWritesNothingAndSaysNothing)
{
    const QString path = t.file("big.ics");
    TestFiles::writeAll(path, calendarOf(40000));
    const QByteArray before = TestFiles::readAll(t.file("Tasklyn.DAT"));
    // Cancel at once, while the file is being read (the dialog's button does this).
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
        if (auto *p = window->findChild<QProgressDialog *>(QStringLiteral("ImportProgress")))
            if (auto *button = p->findChild<QPushButton *>())
                button->click();
    });
    watch.start(10);
    answerFileDialog(path);
    command("Menu_ImportIcs")->trigger();
    watch.stop();

    EXPECT_TRUE(t.messages.shown.isEmpty());
    EXPECT_EQ(TestFiles::readAll(t.file("Tasklyn.DAT")), before);
    EXPECT_EQ(t.tasks.table().taskCount(), 4);
    EXPECT_FALSE(command("Menu_Undo")->isEnabled());
}

} // namespace
