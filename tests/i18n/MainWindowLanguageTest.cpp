// The main window's language: at start-up from the settings file, and on demand.
#include "ReadBack.h"
#include "common/TestContext.h"
#include "common/TestFiles.h"
#include "common/Ui.h"
#include "mainwindow/TForm1.h"
#include "mainwindow/VisibleColumnsMenu.h"
#include "store/TaskTable.h"
#include "widgets/ApplyLanguage.h"

#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <gtest/gtest.h>

namespace {

class MainWindowLanguageTest : public ::testing::Test
{
protected:
    std::unique_ptr<TForm1> start(const QByteArray &ini = {})
    {
        if (!ini.isEmpty())
            TestFiles::writeAll(t.file(FileNames::Settings), ini);
        auto w = std::make_unique<TForm1>(t.ctx, t.tasks, t.alarm);
        EXPECT_TRUE(w->FormCreate());
        return w;
    }
    static QString header(TForm1 &w, int column)
    {
        return ReadBack::header(&w, QStringLiteral("StringGrid1"), column);
    }

    TestContext t;
};

TEST_F(MainWindowLanguageTest, startsInTheStoredLanguage)
{
    auto w = start("[Options]\r\nLanguage=Portuguese\r\n");
    EXPECT_EQ(ui<QMenu>(w.get(), "Menu_File")->title(), "&Ficheiro");
    const std::pair<const char *, const char *> items[] = {
        {"Menu_Preferences", "&Op\u00e7\u00f5es ..."},
        {"Menu_CheckNewVersion", "Nova &vers\u00e3o *"},
        {"pop3_Copy", "Copia tudo p\u00aa clipbrd"},
        {"pop1_AddTask", "&Novo Evento"},
        // The popup twins follow the main menu.
        {"pop2_EditTask", "&Editar Evento"},
        {"pop2_Deletetask", "Apa&gar Evento"},
        {"pop2_SortByStatus", "Por &status"},
        {"pop2_About", "A&cerca ..."},
        {"pop1_Exit", "&Sair"},
        {"Menu_Undo", "&Desfazer\tCtrl+Z"},
        // The same in both languages.
        {"Menu_AllItems", "All &Items"}};
    for (const auto &[name, caption] : items)
        EXPECT_EQ(ui<QAction>(w.get(), name)->text(), QString::fromUtf8(caption)) << name;
    EXPECT_EQ(ui<QToolButton>(w.get(), "SpeedButton7")->toolTip(), " Op\u00e7\u00f5es ");
    EXPECT_EQ(ui<QToolButton>(w.get(), "SpeedButton4")->toolTip(), " Adiciona Novo Evento ");
    const VisibleColumnsMenu *columns = ui<VisibleColumnsMenu>(w.get(), "PopupMenu4");
    EXPECT_EQ(ui<QAction>(columns, "pop4_DoneCol")->text(), "X");
    EXPECT_EQ(ui<QAction>(columns, "pop4_TaskDescript")->text(), "evento");
    EXPECT_EQ(header(*w, 1), "Evento");
    EXPECT_EQ(header(*w, 3), "Hora");
    EXPECT_EQ(ui<QMenu>(w.get(), "pop2_Sort")->title(), "&Organizar");
}

TEST_F(MainWindowLanguageTest, everyRowOfTheTableInBothLanguages)
{
    auto w = start();
    EXPECT_EQ(LanguageTables::mainWindow().size(), 65u);
    for (Language language : {Language::Portuguese, Language::English}) {
        ApplyLanguageMain(w.get(), language == Language::English ? "English" : "Portuguese");
        ReadBack::expectTable(w.get(), LanguageTables::mainWindow(), language);
        for (const CaptionTwin &twin : LanguageTables::mainTwins())
            EXPECT_EQ(ReadBack::caption(ReadBack::component(w.get(), twin.target)),
                      ReadBack::caption(ReadBack::component(w.get(), twin.source)))
                << twin.target;
    }
    EXPECT_EQ(ui<QAction>(w.get(), "Menu_Exit")->text(), "E&xit");
    EXPECT_EQ(ui<QMenu>(w.get(), "Menu_Sort")->title(), "&Sort");
    EXPECT_EQ(ui<QAction>(w.get(), "pop2_About")->text(), "&About ...");
}

TEST_F(MainWindowLanguageTest, theHiddenColumnsHeadersAreNeverTouched)
{
    auto w = start("[Options]\r\nLanguage=Portuguese\r\n");
    const QStringList hidden = {"order", "Date", "Type", "TxtC", "Note"};
    for (int c = 5; c < 10; ++c)
        EXPECT_EQ(t.tasks.table().header(c), hidden[c - 5]);
    EXPECT_EQ(t.tasks.table().header(2), "Data");
    EXPECT_EQ(t.tasks.table().header(0), "");
}

TEST_F(MainWindowLanguageTest, anUnknownLanguageKeepsTheTextsButStillCopiesTheTwins)
{
    // A name in another case is not a language either.
    auto w = start("[Options]\r\nLanguage=portuguese\r\n");
    EXPECT_EQ(ui<QMenu>(w.get(), "Menu_File")->title(), "&File");
    EXPECT_EQ(ui<QToolButton>(w.get(), "SpeedButton1")->toolTip(), " Exit ");
    EXPECT_EQ(header(*w, 1), "Task");
    // Designed as "&About..." in the grid's menu: copied from the main menu.
    EXPECT_EQ(ui<QAction>(w.get(), "pop2_About")->text(), "&About ...");

    // After a language, an unknown name leaves that language's texts in place.
    ApplyLanguageMain(w.get(), "Portuguese");
    ui<QAction>(w.get(), "Menu_EditTask")->setText("&Changed");
    ApplyLanguageMain(w.get(), "Klingon");
    EXPECT_EQ(ui<QMenu>(w.get(), "Menu_File")->title(), "&Ficheiro");
    EXPECT_EQ(ui<QAction>(w.get(), "Menu_EditTask")->text(), "&Changed");
    EXPECT_EQ(ui<QAction>(w.get(), "pop2_EditTask")->text(), "&Changed");
    EXPECT_EQ(ui<QAction>(w.get(), "Menu_AllItems")->text(), "All &Items");
}

TEST_F(MainWindowLanguageTest, anotherWindowOwnedByTheMainWindowIsNotTranslatedWithIt)
{
    auto w = start();
    QDialog editor(w.get());
    auto *button = new QToolButton(&editor);
    button->setObjectName("SpeedButton4");
    button->setToolTip("the editor's own");
    ApplyLanguageMain(w.get(), "Portuguese");
    EXPECT_EQ(button->toolTip(), "the editor's own");
    EXPECT_EQ(ui<QToolButton>(w.get(), "SpeedButton4")->toolTip(), " Adiciona Novo Evento ");
}

} // namespace

namespace {

// The File menu gives each of its items a letter of its own, in either language:
// two items with one letter make Alt+F and the letter pick the first only. (The
// designed captions of the other menus are kept as they are.)
TEST_F(MainWindowLanguageTest, eachItemOfTheFileMenuHasALetterOfItsOwnInBothLanguages)
{
    auto w = start();
    for (const char *language : {"English", "Portuguese"}) {
        ApplyLanguageMain(w.get(), language);
        for (QAction *bar : w->menuBar()->actions()) {
            if (!bar->menu() || bar->menu()->objectName() != QLatin1String("Menu_File"))
                continue;
            QMap<QChar, QString> taken;
            for (QAction *a : bar->menu()->actions()) {
                const QString text = a->text().section(QLatin1Char('\t'), 0, 0);
                const qsizetype at = text.indexOf(QLatin1Char('&'));
                if (a->isSeparator() || at < 0 || at + 1 >= text.size())
                    continue;
                const QChar letter = text[at + 1].toLower();
                EXPECT_FALSE(taken.contains(letter))
                    << language << ": \"" << text.toStdString() << "\" and \""
                    << taken.value(letter).toStdString() << "\" in " << bar->text().toStdString();
                taken.insert(letter, text);
            }
        }
    }
}

} // namespace
