// Every window as assistive technology sees it: each control a user can reach
// has a name, and the task grid reports the focused cell.
// Qt on Linux reports a combo box's current text as its name, so a combo box
// counts as named only by the name the program gives it or a label that labels it.
#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "mainwindow/TForm1.h"
#include "tasks/DailyBackup.h"
#include "widgets/TaskGrid.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAction>
#include <QCalendarWidget>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

// A control a user operates: a button, a choice, a field or view the keyboard
// reaches. Qt's own inner parts (a table's corner, a calendar's navigation, a
// menu bar's overflow arrow) are announced by their owner.
bool interactive(const QWidget *w)
{
    if (QString::fromLatin1(w->metaObject()->className()) == QLatin1String("QTableCornerButton") ||
        w->objectName().startsWith(QLatin1String("qt_")))
        return false;
    if (qobject_cast<const QAbstractButton *>(w))
        return true;
    if (w->focusPolicy() == Qt::NoFocus)
        return false;
    return qobject_cast<const QComboBox *>(w) || qobject_cast<const QLineEdit *>(w) ||
           qobject_cast<const QAbstractSpinBox *>(w) || qobject_cast<const QAbstractSlider *>(w) ||
           qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QTextEdit *>(w) ||
           qobject_cast<const QCalendarWidget *>(w) || qobject_cast<const RowGridView *>(w);
}

QString accessibleName(QWidget *w)
{
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(w);
    if (!face)
        return {};
    if (!qobject_cast<QComboBox *>(w))
        return face->text(QAccessible::Name).trimmed();
    if (!w->accessibleName().trimmed().isEmpty())
        return w->accessibleName().trimmed();
    for (const auto &[label, relation] : face->relations(QAccessible::Label))
        if (!label->text(QAccessible::Name).trimmed().isEmpty())
            return label->text(QAccessible::Name).trimmed();
    return {};
}

// The controls of one window that have no name, by object name.
QStringList nameless(QWidget *window)
{
    QStringList missing;
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window || !interactive(w))
            continue;
        // A combo box's own line edit is announced through the combo box.
        if (qobject_cast<QLineEdit *>(w) && qobject_cast<QComboBox *>(w->parentWidget()))
            continue;
        if (accessibleName(w).isEmpty())
            missing << (w->objectName().isEmpty()
                            ? QString::fromLatin1(w->metaObject()->className())
                            : w->objectName());
    }
    return missing;
}

// The program's windows over one task, as a user starts it.
class AccessibilityTest : public ::testing::Test
{
protected:
    AccessibilityTest()
    {
        TestFiles::writeAll(
            t.file(FileNames::Data),
            TestFiles::record(TestFiles::fields({"", "Call the dentist", "01/06/2030", "09:30", "1",
                                                 "0", "2030-06-01 09:30", "", "18", ""})));
        EXPECT_TRUE(main.FormCreate());
    }

    TestContext t;
    TForm1 main{t.ctx, t.tasks, t.alarm};
};

TEST_F(AccessibilityTest, shouldNameEveryControlOfEveryWindow)
{
    main.createDialogs();
    QList<QWidget *> windows{&main};
    for (QDialog *d : main.findChildren<QDialog *>())
        windows << d;
    ASSERT_GE(windows.size(), 6);
    for (QWidget *window : windows) {
        SCOPED_TRACE(window->objectName().toStdString());
        const QStringList missing = nameless(window);
        EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
    }
}

TEST_F(AccessibilityTest, shouldNameTheListOfBackupsToRestore)
{
    DailyBackup backups(t.folder(), {FileNames::Data, FileNames::Archive, FileNames::Settings},
                        t.clock);
    t.ctx.backups = &backups;
    backups.makeTodaysCopy();
    ASSERT_EQ(backups.list().size(), 1);
    main.show();
    QStringList missing{QStringLiteral("no restore dialog")};
    QTimer::singleShot(0, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        const auto *list = dialog->findChild<QComboBox *>();
        missing = list ? nameless(dialog) : QStringList{QStringLiteral("no list")};
        dialog->close();
    });
    ui<QAction>(&main, "Menu_Restore")->trigger();
    EXPECT_TRUE(missing.isEmpty()) << missing.join(QStringLiteral(", ")).toStdString();
    t.ctx.backups = nullptr;
}

TEST_F(AccessibilityTest, shouldReportTheFocusedCellOfTheTaskGrid)
{
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    auto *grid = ui<TaskGrid>(&main, "StringGrid1");
    grid->setFocus();
    grid->setCurrentRow(1);
    QAccessibleInterface *face = QAccessible::queryAccessibleInterface(grid);
    ASSERT_NE(face, nullptr);
    QAccessibleInterface *cell = face->focusChild();
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->text(QAccessible::Name), "Call the dentist");
}

} // namespace
