#include "StorePreferences.h"

#include "TFormOptions.h"
#include "PreferenceTarget.h"
#include "reminders/AlarmTimer.h"
#include "platform/Services.h"
#include "store/DateFormat.h"
#include "store/Settings.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

QString word(bool on, const char *yes, const char *no)
{
    return QString::fromLatin1(on ? yes : no);
}

} // namespace

void storePreferences(const TFormOptions &d, PreferenceTarget &main, AlarmTimer &alarm,
                      AppContext &ctx)
{
    Settings &s = *ctx.settings;

    const bool onTop = d.CheckBox1->isChecked(); // 1
    s.setText(SettingKey::FormStyle, word(onTop, "fsStayOnTop", "fsNormal"));
    main.setStayOnTop(onTop);

    s.setText(SettingKey::WindowState,
              word(d.CheckBox2->isChecked(), "wsMinimized", "wsNormal")); // 2
    s.setFlag(SettingKey::WindowPosition, d.CheckBox3->isChecked());      // 3
    s.setText(SettingKey::MyDateFormat,                                   // 4
              d.CheckBox4->isChecked() ? ctx.dates->shortFormat() : QString());

    const bool hints = d.CheckBox5->isChecked(); // 5
    s.setText(SettingKey::ShowHints, word(hints, "true", "false"));
    main.setShowNoteHints(hints);

    if (d.CheckBox6->isChecked()) { // 6
        s.setFlag(SettingKey::AutoRun, true);
        ctx.autostart->writeRunEntry(ctx.programPath);
    } else if (s.flag(SettingKey::AutoRun)) {
        s.setFlag(SettingKey::AutoRun, false);
        ctx.autostart->removeRunEntry();
    }

    s.setFlag(SettingKey::WindowSize, d.CheckBox7->isChecked()); // 7

    const bool alert = d.CheckBox8->isChecked(); // 8
    s.setFlag(SettingKey::Alert, alert);
    // A running timer keeps its period (one minute after an alert).
    if (alert)
        alarm.start();
    else
        alarm.stop();

    s.setFlag(SettingKey::Alert_s, d.CheckBox9->isChecked());     // 9
    s.setFlag(SettingKey::AutoArchiv, d.CheckBox10->isChecked()); // 10
    s.setFlag(SettingKey::EmailMe, d.CheckBox11->isChecked());    // 11

    const bool hideMenu = d.CheckBox12->isChecked(); // 12
    s.setFlag(SettingKey::HideMainMenu, hideMenu);
    main.setMenuBarShown(!hideMenu);

    const bool hideToolbar = d.CheckBox13->isChecked(); // 13
    s.setFlag(SettingKey::HideToolbar, hideToolbar);
    main.setToolbarShown(!hideToolbar);
    main.updateGridPopupExtras();

    s.setFlag(SettingKey::AutoArchivAsk, d.CheckBox14->isChecked()); // 14
    s.setFlag(SettingKey::WeekendStop, d.CheckBox15->isChecked());   // 15
    s.setText(SettingKey::DefNewTime,                                // 16
              d.CheckBox16->isChecked() ? d.ComboBox1->currentText() : QStringLiteral("current"));
    s.setFlag(SettingKey::ColorCoded, d.CheckBox17->isChecked()); // 17

    const bool transparent = d.CheckBox18->isChecked(); // 18
    s.setFlag(SettingKey::Transparency, transparent);
    main.setTransparent(transparent);

    const bool flat = d.CheckBox19->isChecked(); // 19
    s.setFlag(SettingKey::FlatToolbar, flat);
    main.setFlatButtons(flat);

    if (d.CheckBox20->isChecked()) { // 20
        s.setText(SettingKey::INIsavePath, d.Edit_option_savepath->text());
        ctx.autostart->writeFolderMarker();
    } else if (s.text(SettingKey::INIsavePath, ctx.programFolder) != ctx.programFolder) {
        s.setText(SettingKey::INIsavePath, ctx.programFolder);
        ctx.autostart->removeFolderMarker();
    }

    s.setFlag(SettingKey::CustomCols, d.CheckBox21->isChecked()); // 21

    if (d.CheckBox22->isChecked()) { // 22
        const QString chosen = d.ComboBox2->currentText();
        if (chosen != s.text(SettingKey::Language)) {
            main.applyLanguage(chosen);
            s.setText(SettingKey::Language, chosen);
        }
    } else {
        main.applyLanguage(QStringLiteral("English"));
        s.setText(SettingKey::Language, QStringLiteral("English"));
    }
}
