// The preferences command.

#include "TForm1.h"

#include "VisibleColumnsMenu.h"
#include "preferences/TFormOptions.h"

#include "store/TaskTable.h"
#include "widgets/ApplyLanguage.h"
#include "widgets/TaskGrid.h"

void TForm1::SpeedButton7Click()
{
    if (!FormOptions)
        return; // not created yet
    // A topmost main window would cover the dialog.
    if (FormOptions->stayOnTopChecked())
        setStayOnTop(false);
    if (FormOptions->exec() != QDialog::Accepted) {
        // The box as it stands now, changed or not: Cancel undoes nothing.
        if (FormOptions->stayOnTopChecked())
            setStayOnTop(true);
        return;
    }
    FormOptions->storePreferences(m_alarm);
}

void TForm1::setShowNoteHints(bool on)
{
    StringGrid1->setShowNoteHints(on);
}

void TForm1::applyLanguage(const QString &language)
{
    ApplyLanguageMain(this, language);
    showUndoState();
}

void TForm1::resetColumnWidths()
{
    TaskGrid &grid = *StringGrid1;
    const int scrollBar =
        grid.visibleRowCount() < m_table->rowCount() - 1 ? grid.scrollBarExtent() : 0;
    grid.setColWidth(Col::Done, 12);
    grid.setColWidth(Col::Date, dateColumnDefaultWidth());
    grid.setColWidth(Col::Hour, 31);
    grid.setColWidth(Col::Priority, 12);
    PopupMenu4->setTaskColumnHidden(false);
    grid.setColWidth(Col::Task, grid.width() - grid.colWidth(Col::Done) - grid.colWidth(Col::Date) -
                                    grid.colWidth(Col::Hour) - grid.colWidth(Col::Priority) -
                                    scrollBar - 6);
}
