// Storing the preferences after Ok.
#include "TFormOptions.h"

#include "PreferenceTarget.h"
#include "platform/Services.h"
#include "reminders/AlarmTimer.h"
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

void TFormOptions::storePreferences(AlarmTimer &alarm) const
{
    Settings &s = *m_ctx.settings;

    const bool onTop = CheckBox1->isChecked(); // 1
    s.setText(SettingKey::FormStyle, word(onTop, "fsStayOnTop", "fsNormal"));
    m_main.setStayOnTop(onTop);

    s.setText(SettingKey::WindowState,
              word(CheckBox2->isChecked(), "wsMinimized", "wsNormal")); // 2
    s.setFlag(SettingKey::WindowPosition, CheckBox3->isChecked());      // 3
    s.setText(SettingKey::MyDateFormat,                                 // 4
              CheckBox4->isChecked() ? m_ctx.dates->shortFormat() : QString());

    const bool hints = CheckBox5->isChecked(); // 5
    s.setText(SettingKey::ShowHints, word(hints, "true", "false"));
    m_main.setShowNoteHints(hints);

    if (CheckBox6->isChecked()) { // 6
        s.setFlag(SettingKey::AutoRun, true);
        m_ctx.autostart->writeRunEntry(m_ctx.programPath);
    } else if (s.flag(SettingKey::AutoRun)) {
        s.setFlag(SettingKey::AutoRun, false);
        m_ctx.autostart->removeRunEntry();
    }

    s.setFlag(SettingKey::WindowSize, CheckBox7->isChecked()); // 7

    const bool alert = CheckBox8->isChecked(); // 8
    s.setFlag(SettingKey::Alert, alert);
    // A running timer keeps its period (one minute after an alert).
    if (alert)
        alarm.start();
    else
        alarm.stop();

    s.setFlag(SettingKey::Alert_s, CheckBox9->isChecked());     // 9
    s.setFlag(SettingKey::AutoArchiv, CheckBox10->isChecked()); // 10
    s.setFlag(SettingKey::EmailMe, CheckBox11->isChecked());    // 11

    const bool hideMenu = CheckBox12->isChecked(); // 12
    s.setFlag(SettingKey::HideMainMenu, hideMenu);
    m_main.setMenuBarShown(!hideMenu);

    const bool hideToolbar = CheckBox13->isChecked(); // 13
    s.setFlag(SettingKey::HideToolbar, hideToolbar);
    m_main.setToolbarShown(!hideToolbar);
    m_main.updateGridPopupExtras();

    s.setFlag(SettingKey::AutoArchivAsk, CheckBox14->isChecked()); // 14
    s.setFlag(SettingKey::WeekendStop, CheckBox15->isChecked());   // 15
    s.setText(SettingKey::DefNewTime,                              // 16
              CheckBox16->isChecked() ? ComboBox1->currentText() : QStringLiteral("current"));
    s.setFlag(SettingKey::ColorCoded, CheckBox17->isChecked()); // 17

    const bool transparent = CheckBox18->isChecked(); // 18
    s.setFlag(SettingKey::Transparency, transparent);
    m_main.setTransparent(transparent);

    const bool flat = CheckBox19->isChecked(); // 19
    s.setFlag(SettingKey::FlatToolbar, flat);
    m_main.setFlatButtons(flat);

    if (CheckBox20->isChecked()) { // 20
        s.setText(SettingKey::INIsavePath, Edit_option_savepath->text());
        m_ctx.autostart->writeFolderMarker();
    } else if (s.text(SettingKey::INIsavePath, m_ctx.programFolder) != m_ctx.programFolder) {
        s.setText(SettingKey::INIsavePath, m_ctx.programFolder);
        m_ctx.autostart->removeFolderMarker();
    }

    s.setFlag(SettingKey::CustomCols, CheckBox21->isChecked()); // 21
    s.setFlag(SettingKey::DesktopNotify, CheckBox23->isChecked());

    if (CheckBox22->isChecked()) { // 22
        const QString chosen = ComboBox2->currentText();
        if (chosen != s.text(SettingKey::Language)) {
            m_main.applyLanguage(chosen);
            s.setText(SettingKey::Language, chosen);
        }
    } else {
        m_main.applyLanguage(QStringLiteral("English"));
        s.setText(SettingKey::Language, QStringLiteral("English"));
    }
}
