// The language routines on the program's own windows, created as at start-up.
#include "ReadBack.h"
#include "archive/TFormArchOptions.h"
#include "archive/TFormArchive.h"
#include "categories/TFormCategory.h"
#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "editor/TFormAddEdit.h"
#include "mainwindow/TForm1.h"
#include "preferences/TFormOptions.h"
#include "widgets/ApplyLanguage.h"

#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

class RealWindowsLanguageTest : public ::testing::Test
{
protected:
    RealWindowsLanguageTest()
    {
        TestFiles::writeAll(t.file(FileNames::Settings), "[Options]\r\nLanguage=Portuguese\r\n");
        main = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        EXPECT_TRUE(main->FormCreate());
        main->createDialogs();
    }

    // Shows a window the way its command does (its show handler applies the
    // language) and hides it again.
    static void showOnce(QWidget *window)
    {
        window->show();
        window->hide();
    }
    QString label(QWidget *window, const char *name)
    {
        return ReadBack::caption(ReadBack::component(window, name));
    }

    void expectPortuguesePlaces()
    {
        auto x = [this](const char *name) {
            return main->findChild<TFormOptions *>()->findChild<QWidget *>(name)->x();
        };
        EXPECT_EQ(x("CheckBox3"), x("CheckBox7"));
        EXPECT_EQ(x("CheckBox7"), x("CheckBox2"));
        EXPECT_GT(x("ComboBox1"), x("CheckBox2"));
    }

    TestContext t;
    std::unique_ptr<TForm1> main;
};

TEST_F(RealWindowsLanguageTest, everyWindowCarriesEveryComponentOfItsTable)
{
    struct Window
    {
        QWidget *widget;
        std::function<void(QWidget *, const QString &)> apply;
        const std::vector<LanguageEntry> &table;
    };
    const Window windows[] = {
        {main.get(), ApplyLanguageMain, LanguageTables::mainWindow()},
        {main->findChild<TFormAddEdit *>(), ApplyLanguageEditor, LanguageTables::editor()},
        {main->findChild<TFormOptions *>(), ApplyLanguagePreferences,
         LanguageTables::preferences()},
        {main->findChild<TFormArchive *>(), ApplyLanguageArchive, LanguageTables::archive()},
        {main->findChild<TFormArchOptions *>(), ApplyLanguageArchivePreferences,
         LanguageTables::archivePreferences()},
        {main->findChild<TFormCategory *>(), ApplyLanguageInput, LanguageTables::input()},
    };
    for (const Window &w : windows) {
        ASSERT_NE(w.widget, nullptr);
        SCOPED_TRACE(w.widget->objectName().toStdString());
        w.apply(w.widget, QStringLiteral("English"));
        ReadBack::expectTable(w.widget, w.table, Language::English);
        w.apply(w.widget, QStringLiteral("Portuguese"));
        ReadBack::expectTable(w.widget, w.table, Language::Portuguese);
    }
}

TEST_F(RealWindowsLanguageTest, eachWindowShowsTheStoredLanguageAtItsMoment)
{
    // Created in Portuguese: the preferences dialog, with its wider places.
    EXPECT_EQ(main->findChild<TFormOptions *>()->windowTitle(), "  Op\u00e7\u00f5es ...");
    EXPECT_EQ(label(main->findChild<TFormOptions *>(), "CheckBox12"), "Esconde menu principal");
    // Its three check boxes share the Portuguese left edge (158, 166, 174 in English).
    expectPortuguesePlaces();
    EXPECT_EQ(ui<QMenu>(main.get(), "Menu_Help")->title(), "&Ajuda");

    showOnce(main->findChild<TFormAddEdit *>());
    EXPECT_EQ(label(main->findChild<TFormAddEdit *>(), "Label1"), "Evento:");
    EXPECT_EQ(label(main->findChild<TFormAddEdit *>(), "SpeedButton3"), "&Cancelar");
    showOnce(main->findChild<TFormArchive *>());
    // The viewer then adds its counts to the caption.
    EXPECT_TRUE(main->findChild<TFormArchive *>()->windowTitle().startsWith(
        " Nudgery - Eventos Arquivados"));
    showOnce(main->findChild<TFormArchOptions *>());
    EXPECT_EQ(label(main->findChild<TFormArchOptions *>(), "Button_pp_ok"), "Fechar");
    showOnce(main->findChild<TFormCategory *>());
    EXPECT_EQ(label(main->findChild<TFormCategory *>(), "SpeedButton2"), "Cancelar");

    // Back to English, as the preferences dialog's Ok does: the main window at
    // once, the others when next shown, the preferences dialog not before a restart.
    t.settings.setText(SettingKey::Language, QStringLiteral("English"));
    ApplyLanguageMain(main.get(), QStringLiteral("English"));
    EXPECT_EQ(ui<QMenu>(main.get(), "Menu_Help")->title(), "&Help");
    EXPECT_EQ(ui<QAction>(main.get(), "pop2_About")->text(), "&About ...");

    showOnce(main->findChild<TFormAddEdit *>());
    EXPECT_EQ(label(main->findChild<TFormAddEdit *>(), "Label1"), "Task:");
    showOnce(main->findChild<TFormArchive *>());
    EXPECT_TRUE(
        main->findChild<TFormArchive *>()->windowTitle().startsWith(" Nudgery - Archived Events"));
    showOnce(main->findChild<TFormArchOptions *>());
    EXPECT_EQ(label(main->findChild<TFormArchOptions *>(), "Button_pp_ok"), "Done");
    showOnce(main->findChild<TFormCategory *>());
    EXPECT_EQ(label(main->findChild<TFormCategory *>(), "SpeedButton2"), "Cancel");
    showOnce(main->findChild<TFormOptions *>());
    EXPECT_EQ(main->findChild<TFormOptions *>()->windowTitle(), "  Op\u00e7\u00f5es ...");
    expectPortuguesePlaces();
}

TEST_F(RealWindowsLanguageTest, anUnknownLanguageChangesNoTextButTheEditorStillCopiesItsButtons)
{
    t.settings.setText(SettingKey::Language, QStringLiteral("Espa\u00f1ol"));
    main->findChild<TFormAddEdit *>()
        ->findChild<QAbstractButton *>("Button_cancel")
        ->setText("&Stop");
    showOnce(main->findChild<TFormAddEdit *>());
    // Never shown before: the designed texts.
    EXPECT_EQ(label(main->findChild<TFormAddEdit *>(), "Label1"), "Task:");
    EXPECT_EQ(label(main->findChild<TFormAddEdit *>(), "SpeedButton4"), "&Ok");
    EXPECT_EQ(label(main->findChild<TFormAddEdit *>(), "SpeedButton3"), "&Stop");

    showOnce(main->findChild<TFormCategory *>());
    EXPECT_EQ(label(main->findChild<TFormCategory *>(), "SpeedButton2"), "Cancel");
}

} // namespace
