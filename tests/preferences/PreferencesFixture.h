#pragma once

#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "mainwindow/TForm1.h"
#include "preferences/TFormOptions.h"
#include "store/ProfileData.h"
#include "widgets/TaskGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

// A started main window with its preferences dialog over a settings file written
// by the test. The settings are written first: the dialog reads them once, when
// it is created.
class PreferencesTest : public ::testing::Test
{
protected:
    void writeSettings(const QByteArray &ini)
    {
        TestFiles::writeAll(t.file(FileNames::Settings), ini);
    }
    QByteArray settingsBytes() const { return TestFiles::readAll(t.file(FileNames::Settings)); }

    QString stored(const char *section, const char *key) const
    {
        return ProfileData::load(t.file(FileNames::Settings))
            .value(QString::fromLatin1(section), QString::fromLatin1(key))
            .value_or(QStringLiteral("<missing>"));
    }
    QString pref(const char *key) const { return stored("Preferences", key); }

    // An empty task file: no first-start conversion touches the settings file.
    void start()
    {
        TestFiles::writeAll(t.file(FileNames::Data), {});
        main = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        ASSERT_TRUE(main->FormCreate());
        main->createDialogs();
        dialog = main->findChild<TFormOptions *>();
    }
    void showMain()
    {
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }

    // Runs the preferences command as the toolbar button does; while the dialog
    // is open, `inDialog` plays the user, then Ok or Cancel closes it.
    void runCommand(const std::function<void()> &inDialog, bool ok)
    {
        bool reached = false;
        QTimer::singleShot(0, dialog, [&] {
            reached = dialog->isVisible();
            if (inDialog)
                inDialog();
            QTest::mouseClick(dialogButton(ok ? "Button_pp_ok" : "Button_pp_cancel"),
                              Qt::LeftButton);
        });
        ui<QAction>(main.get(), "Menu_Preferences")->trigger();
        EXPECT_TRUE(reached) << "the dialog was not shown";
        EXPECT_FALSE(dialog->isVisible());
    }
    void confirm(const std::function<void()> &inDialog = {}) { runCommand(inDialog, true); }
    void cancel(const std::function<void()> &inDialog = {}) { runCommand(inDialog, false); }

    // The dialog's components the tests reach, found by name as the user finds them.
    QCheckBox *checkBox(int number) const
    {
        return ui<QCheckBox>(dialog, ("CheckBox" + QByteArray::number(number)).constData());
    }
    QComboBox *timeList() const { return ui<QComboBox>(dialog, "ComboBox1"); }
    QComboBox *languageList() const { return ui<QComboBox>(dialog, "ComboBox2"); }
    QLineEdit *savePathField() const { return ui<QLineEdit>(dialog, "Edit_option_savepath"); }
    QPushButton *dialogButton(const char *name) const { return ui<QPushButton>(dialog, name); }

    // A click on the box's indicator, where a user clicks.
    static void click(QCheckBox *box)
    {
        QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
    }
    // The user picks an item with the keyboard, which the list reports as a choice.
    static void pick(QComboBox *list, const QString &item)
    {
        list->setFocus();
        const int target = list->findText(item);
        ASSERT_GE(target, 0) << item.toStdString();
        for (int i = 0; i <= list->count() && list->currentIndex() != target; ++i)
            QTest::keyClick(list, list->currentIndex() < target ? Qt::Key_Down : Qt::Key_Up);
        ASSERT_EQ(list->currentText(), item);
    }

    QString folder() const { return t.folder(); }

    TaskGrid *grid() const { return ui<TaskGrid>(main.get(), "StringGrid1"); }

    TestContext t;
    std::unique_ptr<TForm1> main;
    TFormOptions *dialog = nullptr; // owned by the main window
};
