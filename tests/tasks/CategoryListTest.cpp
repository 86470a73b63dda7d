// The category names as the settings file holds them, and what each change
// writes there: one write each, so a kill leaves the old list or the new one.
#include "tasks/CategoryList.h"
#include "common/TestFiles.h"
#include "store/Settings.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

namespace {

TEST(CategoryListTest, shouldReadTheNumberedKeysAndWriteEachChangeOnce)
{
    QTemporaryDir dir;
    Settings settings(dir.filePath(QStringLiteral("Tasklyn.INI")));
    int writes = 0;
    settings.file().setBeforeWrite([&writes] { ++writes; });
    // A key missing below the highest reads as empty; one above "Cats" is not
    // read, and stays.
    const QByteArray stored = "[Options]\r\nLanguage=English\r\n"
                              "[Category]\r\nCats=$7\r\n1=Work\r\n2=Home\r\n4=Garden\r\n"
                              "8=Beyond\r\n";
    TestFiles::writeAll(settings.path(), stored);
    CategoryList list(settings);
    ASSERT_EQ(list.names(), QStringList({"Work", "Home", "", "Garden"}));

    struct Step
    {
        const char *what;
        std::function<void()> change;
        QStringList names;
        QByteArray file;
    };
    // Each name goes to its key where the file has it, or to the section's end.
    const Step steps[] = {
        {"add",
         [&] { list.add(QStringLiteral("Shop")); },
         {"Work", "Home", "", "Garden", "Shop"},
         "[Options]\r\nLanguage=English\r\n"
         "[Category]\r\nCats=5\r\n1=Work\r\n2=Home\r\n4=Garden\r\n8=Beyond\r\n5=Shop\r\n"},
        {"remove",
         [&] { EXPECT_TRUE(list.remove(QStringLiteral("Home"))); },
         {"Work", "", "Garden", "Shop"},
         "[Options]\r\nLanguage=English\r\n"
         "[Category]\r\nCats=4\r\n1=Work\r\n2=\r\n4=Shop\r\n8=Beyond\r\n3=Garden\r\n"},
        {"insert",
         [&] { list.insert(1, QStringLiteral("Home")); },
         {"Home", "Work", "", "Garden", "Shop"},
         "[Options]\r\nLanguage=English\r\n"
         "[Category]\r\nCats=5\r\n1=Home\r\n2=Work\r\n4=Garden\r\n8=Beyond\r\n3=\r\n5=Shop\r\n"},
        {"add many",
         [&] {
             list.add(QStringList{"A", "B"});
         },
         {"Home", "Work", "", "Garden", "Shop", "A", "B"},
         "[Options]\r\nLanguage=English\r\n"
         "[Category]\r\nCats=7\r\n1=Home\r\n2=Work\r\n4=Garden\r\n8=Beyond\r\n3=\r\n5=Shop\r\n"
         "6=A\r\n7=B\r\n"},
    };
    for (const Step &step : steps) {
        SCOPED_TRACE(step.what);
        writes = 0;
        step.change();
        EXPECT_EQ(writes, 1);
        EXPECT_EQ(list.names(), step.names);
        EXPECT_EQ(TestFiles::readAll(settings.path()).toStdString(), step.file.toStdString());
    }
}

} // namespace
