// The preferences dialog's reactions to the user's clicks.
#include "TFormOptions.h"

#include "PreferenceTarget.h"
#include "SavePathBrowser.h"
#include "platform/MessageService.h"
#include "store/Settings.h"
#include "widgets/RepaintOnAltTab.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

const QString DateFormatWarning = QStringLiteral(
    "Are you sure?\rThis could corrupt all your data, if date format\ris different than the one "
    "you are already using !!");

const QString SharedFolderWarning = QStringLiteral(
    "You really shouldn't need to change from default file's\rlocation, if your folder has read & "
    "write permissions.\r\rIf you want to network this, please use a shared folder too..\r\rNow.. "
    "be careful - you can always revert to default later.\rWant to continue..?");

bool askYesCancel(MessageService &messages, QWidget *parent, const QString &text)
{
    return messages.show(parent, {QStringLiteral("Information"), text, MsgIcon::Information,
                                  MsgButtons::YesCancel}) == MsgResult::Yes;
}

void selectItem(QComboBox *list, const QString &text)
{
    list->setCurrentIndex(list->findText(text, Qt::MatchFixedString));
}

} // namespace

void TFormOptions::CheckBox6Click()
{
    if (!CheckBox6->isChecked())
        CheckBox15->setChecked(false);
    CheckBox15->setEnabled(CheckBox6->isChecked());
}

void TFormOptions::CheckBox10Click()
{
    CheckBox14->setEnabled(CheckBox10->isChecked());
}

void TFormOptions::CheckBox16Click()
{
    selectItem(ComboBox1,
               CheckBox16->isChecked() ? QStringLiteral("09h:30") : QStringLiteral("current"));
}

void TFormOptions::ComboBox1Change()
{
    CheckBox16->setChecked(true);
}

void TFormOptions::ComboBox2Change()
{
    CheckBox22->setChecked(true);
}

void TFormOptions::CheckBox22Click()
{
    if (!CheckBox22->isChecked())
        selectItem(ComboBox2, QStringLiteral("English"));
}

void TFormOptions::CheckBox4Click()
{
    // Both directions change how every stored date is read at the next start.
    const bool stored = !m_ctx.settings->text(SettingKey::MyDateFormat).isEmpty();
    const bool ticked = CheckBox4->isChecked();
    if (ticked == stored)
        return;
    if (!askYesCancel(*m_ctx.messages, this, DateFormatWarning))
        CheckBox4->setChecked(!ticked);
}

void TFormOptions::CheckBox20Click()
{
    const QString folder = m_ctx.programFolder;
    if (CheckBox20->isChecked() &&
        m_ctx.settings->text(SettingKey::INIsavePath, folder) == folder) {
        if (askYesCancel(*m_ctx.messages, this, SharedFolderWarning))
            return;
        CheckBox20->setChecked(false);
    }
    Edit_option_savepath->setText(folder);
}

void TFormOptions::Button_option_dirClick()
{
    Edit_option_savepath->setText(chooseSavePath(this, m_ctx, Edit_option_savepath->text()));
}

void TFormOptions::Button_resetColsClick()
{
    m_main.resetColumnWidths();
}

void TFormOptions::FormKeyUp(int key)
{
    RepaintOnAltTab(this, key, *m_ctx.os);
}
