// Task commands: add, edit, check/uncheck, delete, double click, the grid menu.

#include "TForm1.h"

void TForm1::SpeedButton4Click() {}
void TForm1::SpeedButton6Click() {}
void TForm1::SpeedButton3Click() {}
void TForm1::SpeedButton5Click() {}
void TForm1::DeleteTask() {}
void TForm1::StringGrid1DblClick() {}
void TForm1::ConfigureGridPopup(bool) {}

#include "store/Settings.h"

int TForm1::editorClientHeight() const
{
    return m_ctx.settings->integer(SettingKey::NoteHeight);
}
