// What the language routines do with kinds of components and places that the
// program's own windows happen not to use: exact designed left edges, labels with
// a buddy, group titles, a plain table's header.
#include "ReadBack.h"
#include "widgets/ApplyLanguage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace {

template <class W> W *add(QWidget *parent, const char *name, const QString &text = {})
{
    auto *w = new W(parent);
    w->setObjectName(QString::fromLatin1(name));
    if constexpr (std::is_base_of_v<QAbstractButton, W> || std::is_base_of_v<QLabel, W>)
        w->setText(text);
    if constexpr (std::is_base_of_v<QGroupBox, W>)
        w->setTitle(text);
    return w;
}

// --- The preferences dialog ------------------------------------------------------

struct PreferencesStandIn
{
    PreferencesStandIn()
    {
        dialog.setWindowTitle("design");
        for (const char *name :
             {"CheckBox1",  "CheckBox12", "CheckBox13", "CheckBox18", "CheckBox19",
              "CheckBox21", "CheckBox22", "CheckBox6",  "CheckBox15", "CheckBox9",
              "CheckBox8",  "CheckBox11", "CheckBox16", "CheckBox5",  "CheckBox17",
              "CheckBox23", "CheckBox10", "CheckBox14", "CheckBox20", "CheckBox4"})
            add<QCheckBox>(&dialog, name, "design");
        add<QCheckBox>(&dialog, "CheckBox3", "design")->move(158, 29);
        add<QCheckBox>(&dialog, "CheckBox7", "design")->move(166, 46);
        add<QCheckBox>(&dialog, "CheckBox2", "design")->move(174, 63);
        add<QComboBox>(&dialog, "ComboBox1")->move(164, 258);
        add<QComboBox>(&dialog, "ComboBox2");
        add<QLineEdit>(&dialog, "Edit_option_savepath");
        // Section titles: plain labels, or a group's title.
        add<QLabel>(&dialog, "Label2", "design");
        add<QLabel>(&dialog, "Label3", "design");
        add<QGroupBox>(&dialog, "Label4", "design");
        add<QLabel>(&dialog, "Label5", "design");
        for (const char *name :
             {"Button_resetCols", "Button_option_dir", "Button_pp_ok", "Button_pp_cancel"})
            add<QPushButton>(&dialog, name, "design");
    }
    QPoint at(const char *name) const { return dialog.findChild<QWidget *>(name)->pos(); }
    QString text(const char *name) const
    {
        return ReadBack::caption(dialog.findChild<QWidget *>(name));
    }
    QDialog dialog;
};

TEST(PreferencesLanguage, portugueseTextsAndTheWiderPlaces)
{
    PreferencesStandIn prefs;
    EXPECT_EQ(LanguageTables::preferences().size(), 36u);
    ApplyLanguagePreferences(&prefs.dialog, "Portuguese");
    ReadBack::expectTable(&prefs.dialog, LanguageTables::preferences(), Language::Portuguese);
    EXPECT_EQ(prefs.dialog.windowTitle(), "  Op\u00e7\u00f5es ...");
    // A plain label shows "&&" as one ampersand; a group's title marks it as Qt does.
    EXPECT_EQ(prefs.text("Label3"), "  Utiliza\u00e7\u00e3o & Tarefas *  ");
    EXPECT_EQ(prefs.text("Label4"), "  Arquivar *  ");
    EXPECT_EQ(prefs.text("CheckBox9"), "Alertar para eventos de hoje [ao iniciar] ");
    EXPECT_EQ(prefs.text("CheckBox11"), "Enviar email de eventos p\u00aa amanh\u00e3");
    EXPECT_EQ(prefs.dialog.findChild<QWidget *>("Button_resetCols")->toolTip(),
              " repor larguras de colunas a default ");
    EXPECT_EQ(prefs.at("CheckBox3"), QPoint(176, 29));
    EXPECT_EQ(prefs.at("CheckBox7"), QPoint(176, 46));
    EXPECT_EQ(prefs.at("CheckBox2"), QPoint(176, 63));
    EXPECT_EQ(prefs.at("ComboBox1"), QPoint(188, 258));
}

TEST(PreferencesLanguage, englishTextsAndTheDesignedPlaces)
{
    PreferencesStandIn prefs;
    ApplyLanguagePreferences(&prefs.dialog, "Portuguese");
    ApplyLanguagePreferences(&prefs.dialog, "English");
    ReadBack::expectTable(&prefs.dialog, LanguageTables::preferences(), Language::English);
    EXPECT_EQ(prefs.text("Label3"), "  Running & Tasks *  ");
    EXPECT_EQ(prefs.text("Label5"), "  Network use *  ");
    EXPECT_EQ(prefs.at("CheckBox3"), QPoint(158, 29));
    EXPECT_EQ(prefs.at("CheckBox7"), QPoint(166, 46));
    EXPECT_EQ(prefs.at("CheckBox2"), QPoint(174, 63));
    EXPECT_EQ(prefs.at("ComboBox1"), QPoint(164, 258));
}

TEST(PreferencesLanguage, anUnknownLanguageChangesAndMovesNothing)
{
    PreferencesStandIn prefs;
    prefs.dialog.findChild<QWidget *>("CheckBox3")->move(10, 29);
    ApplyLanguagePreferences(&prefs.dialog, "");
    EXPECT_EQ(prefs.dialog.windowTitle(), "design");
    EXPECT_EQ(prefs.text("CheckBox1"), "design");
    EXPECT_EQ(prefs.at("CheckBox3"), QPoint(10, 29));
    EXPECT_EQ(prefs.at("ComboBox1"), QPoint(164, 258));
}

TEST(PreferencesLanguage, aLabelWithABuddyKeepsTheAcceleratorMarks)
{
    PreferencesStandIn prefs;
    auto *label = prefs.dialog.findChild<QLabel *>("Label3");
    label->setBuddy(prefs.dialog.findChild<QCheckBox *>("CheckBox6"));
    ApplyLanguagePreferences(&prefs.dialog, "English");
    EXPECT_EQ(label->text(), "  Running && Tasks *  ");
}

// --- The archive viewer ----------------------------------------------------------

TEST(ArchiveLanguage, aPlainTableTakesTheHeadersToo)
{
    QWidget viewer;
    auto *grid = add<QTableWidget>(&viewer, "StringGrid1");
    grid->setColumnCount(10);
    ApplyLanguageArchive(&viewer, "Portuguese");
    EXPECT_EQ(ReadBack::header(&viewer, "StringGrid1", 2), "Data");
    EXPECT_EQ(ReadBack::header(&viewer, "StringGrid1", 4), "Pr");
}

} // namespace
