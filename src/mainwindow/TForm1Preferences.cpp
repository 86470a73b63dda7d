// The preferences command.

#include "TForm1.h"

#include "preferences/StorePreferences.h"
#include "preferences/TFormOptions.h"

#include <QCheckBox>

void TForm1::SpeedButton7Click()
{
    if (!FormOptions)
        return; // not created yet
    // A topmost main window would cover the dialog.
    if (FormOptions->CheckBox1->isChecked())
        setStayOnTop(false);
    if (FormOptions->exec() != QDialog::Accepted) {
        // The box as it stands now, changed or not: Cancel undoes nothing.
        if (FormOptions->CheckBox1->isChecked())
            setStayOnTop(true);
        return;
    }
    storePreferences(*FormOptions, *this, m_ctx);
}
